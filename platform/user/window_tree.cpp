// The window tree as Win32 shows it: enumeration in z-order, parents, owners and siblings.
#include <algorithm>

#include "platform/user/window.h"

namespace {

using kwplatform::LookUpWindow;
using kwplatform::Window;

// The z-order list the window belongs to: its siblings (top-level windows or a parent's children).
std::vector<HWND> SiblingsOf(const Window& window) {
  if (window.messageOnly) return {};
  return window.parent ? kwplatform::ChildrenOf(window.parent) : kwplatform::TopLevelWindows();
}

bool EnumerateTree(HWND parent, WNDENUMPROC procedure, LPARAM data) {
  for (HWND child : kwplatform::ChildrenOf(parent)) {
    if (!LookUpWindow(child)) continue;  // destroyed by an earlier callback
    if (!procedure(child, data)) return false;
    if (!EnumerateTree(child, procedure, data)) return false;
  }
  return true;
}

}  // namespace

extern "C" {

BOOL WINAPI EnumWindows(WNDENUMPROC procedure, LPARAM data) {
  if (procedure == nullptr) return FALSE;
  for (HWND window : kwplatform::TopLevelWindows()) {
    if (!LookUpWindow(window)) continue;
    if (!procedure(window, data)) return FALSE;
  }
  return TRUE;
}

BOOL WINAPI EnumChildWindows(HWND parent, WNDENUMPROC procedure, LPARAM data) {
  if (procedure == nullptr || !LookUpWindow(parent)) return FALSE;
  return EnumerateTree(parent, procedure, data) ? TRUE : FALSE;
}

HWND WINAPI GetWindow(HWND handle, UINT command) {
  std::shared_ptr<Window> window = LookUpWindow(handle);
  if (!window) return nullptr;
  if (command == GW_OWNER) return window->owner;
  if (command == GW_CHILD) {
    std::vector<HWND> children = kwplatform::ChildrenOf(handle);
    return children.empty() ? nullptr : children.front();
  }
  std::vector<HWND> siblings = SiblingsOf(*window);
  if (siblings.empty()) return nullptr;
  auto position = std::find(siblings.begin(), siblings.end(), handle);
  switch (command) {
    case GW_HWNDFIRST:
      return siblings.front();
    case GW_HWNDLAST:
      return siblings.back();
    case GW_HWNDNEXT:  // the next window below
      return position == siblings.end() || position + 1 == siblings.end() ? nullptr : *(position + 1);
    case GW_HWNDPREV:  // the next window above
      return position == siblings.end() || position == siblings.begin() ? nullptr : *(position - 1);
    default:
      return nullptr;
  }
}

HWND WINAPI GetTopWindow(HWND handle) {
  std::vector<HWND> windows;
  if (handle == nullptr) {
    windows = kwplatform::TopLevelWindows();
  } else {
    if (!LookUpWindow(handle)) return nullptr;
    windows = kwplatform::ChildrenOf(handle);
  }
  return windows.empty() ? nullptr : windows.front();
}

HWND WINAPI GetParent(HWND handle) {
  std::shared_ptr<Window> window = LookUpWindow(handle);
  if (!window) return nullptr;
  if (window->parent != nullptr) return window->parent;
  // Of top-level windows, only popups report their owner.
  return (window->style & WS_POPUP) ? window->owner : nullptr;
}

BOOL WINAPI IsChild(HWND parent, HWND window) { return kwplatform::IsDescendant(parent, window) ? TRUE : FALSE; }

}  // extern "C"
