#include "ui/native_control_pane.h"

#include <cstdint>
#include <vector>

#include "core/runtime_string.h"
#include "graphics/font_cache.h"

namespace {

constexpr const char* InstanceProperty = "KWInstance";

LRESULT CALLBACK ReplacedProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  NativeControlPane* pane = NativeControlPaneOf(window);
  if (pane == nullptr) return DefWindowProcA(window, message, wParam, lParam);
  LRESULT result = 0;
  if (pane->ControlMessage(message, wParam, lParam, &result)) return result;
  return pane->CallPreviousProcedure(message, wParam, lParam);
}

}  // namespace

NativeControlPane::NativeControlPane(const PaneCreation& creation, bool replaceProcedure) : ContainerPane(creation) {
  if (handle == nullptr) return;
  SetPropA(handle, InstanceProperty, static_cast<Pane*>(this));
  if (replaceProcedure) {
    // A window long holds a procedure's low 32 bits; CallWindowProcA finds the procedure from them.
    LONG previous = SetWindowLongA(handle, GWL_WNDPROC, static_cast<LONG>(reinterpret_cast<uintptr_t>(&ReplacedProcedure)));
    previousProcedure = reinterpret_cast<WNDPROC>(static_cast<uintptr_t>(static_cast<uint32_t>(previous)));
  }
}

NativeControlPane::~NativeControlPane() {
  if (handle) {
    if (previousProcedure)
      SetWindowLongA(handle, GWL_WNDPROC, static_cast<LONG>(reinterpret_cast<uintptr_t>(previousProcedure)));
    RemovePropA(handle, InstanceProperty);
  }
  ReleaseCachedFont(font);
}

NativeControlPane* NativeControlPaneOf(HWND window) {
  auto* pane = static_cast<Pane*>(GetPropA(window, InstanceProperty));
  return dynamic_cast<NativeControlPane*>(pane);
}

LRESULT NativeControlPane::CallPreviousProcedure(UINT message, WPARAM wParam, LPARAM lParam) {
  if (previousProcedure == nullptr) return DefWindowProcA(handle, message, wParam, lParam);
  return CallWindowProcA(previousProcedure, handle, message, wParam, lParam);
}

void NativeControlPane::SetText(const RuntimeString* text) {
  if (handle) SetWindowTextA(handle, StringCText(text));
}

RuntimeString* NativeControlPane::GetText() {
  if (handle == nullptr) return nullptr;
  int length = GetWindowTextLengthA(handle);
  if (length <= 0) return nullptr;
  std::vector<char> text(static_cast<size_t>(length) + 1);
  int copied = GetWindowTextA(handle, text.data(), length + 1);
  return StringFromBytes(text.data(), copied);
}

void NativeControlPane::SetFont(RuntimeString* name, int32_t size, int32_t style) {
  HFONT previous = font;
  font = AcquireCachedFont(name, size, style);
  if (handle) SendMessageA(handle, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  ReleaseCachedFont(previous);
}

void NativeControlPane::SetEnabled(bool on, bool redraw) {
  ContainerPane::SetEnabled(on, redraw);
  if (handle) EnableWindow(handle, on);
}
