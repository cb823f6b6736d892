#include "ui/pane_window_link.h"

#include <cstdint>

#if UINTPTR_MAX > 0xFFFFFFFFu
namespace {
// The four extra bytes cannot hold a 64-bit address: the host build keeps it in a property.
constexpr const char* PaneAddressProperty = "KWPaneAddress";
}  // namespace
#endif

void LinkWindowToPane(HWND window, Pane* pane) {
#if UINTPTR_MAX > 0xFFFFFFFFu
  if (pane)
    SetPropA(window, PaneAddressProperty, pane);
  else
    RemovePropA(window, PaneAddressProperty);
#else
  SetWindowLongA(window, 0, static_cast<LONG>(reinterpret_cast<uintptr_t>(pane)));
#endif
}

Pane* PaneOfWindow(HWND window) {
#if UINTPTR_MAX > 0xFFFFFFFFu
  return static_cast<Pane*>(GetPropA(window, PaneAddressProperty));
#else
  return reinterpret_cast<Pane*>(static_cast<uintptr_t>(GetWindowLongA(window, 0)));
#endif
}
