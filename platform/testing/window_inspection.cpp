// The test interface's window list.
#include "platform/testing/testing.h"
#include "platform/user/focus.h"
#include "platform/user/window.h"
#include "platform/user/window_geometry.h"

namespace kwtesting {

namespace {

using kwplatform::Window;

WindowDescription DescriptionOf(const Window& window) {
  WindowDescription description = {};
  description.handle = window.handle;
  description.className = window.windowClass->name;
  description.text = window.text;
  description.visible = kwplatform::IsVisible(window);
  description.parent = window.parent;
  description.messageOnly = window.messageOnly;
  description.owner = window.owner;
  POINT origin = kwplatform::WindowOriginOnScreen(window);
  description.windowRect = RECT{origin.x, origin.y, origin.x + kwplatform::WindowWidth(window),
                                origin.y + kwplatform::WindowHeight(window)};
  POINT client = kwplatform::ClientOriginOnScreen(window);
  description.clientRect = kwplatform::OffsetRectangle(kwplatform::ClientRectangle(window), client.x, client.y);
  description.style = window.style;
  description.exStyle = window.exStyle;
  description.enabled = kwplatform::IsEnabled(window);
  description.focused = kwplatform::FocusWindow() == window.handle;
  description.active = kwplatform::ActiveWindow() == window.handle;
  description.capturing = kwplatform::CaptureWindow() == window.handle;
  return description;
}

void Describe(HWND handle, std::vector<WindowDescription>* list) {
  std::shared_ptr<Window> window = kwplatform::LookUpWindow(handle);
  if (!window) return;
  list->push_back(DescriptionOf(*window));
  for (HWND child : kwplatform::ChildrenOf(handle)) Describe(child, list);
}

}  // namespace

std::vector<WindowDescription> ListWindows() {
  std::vector<HWND> roots = kwplatform::TopLevelWindows();
  std::vector<HWND> messageOnly = kwplatform::MessageOnlyWindows();
  roots.insert(roots.end(), messageOnly.begin(), messageOnly.end());
  std::vector<WindowDescription> list;
  for (HWND root : roots) Describe(root, &list);
  return list;
}

std::vector<WindowDescription> ListWindowTree(HWND window) {
  std::vector<WindowDescription> list;
  Describe(window, &list);
  return list;
}

bool DescribeWindow(HWND handle, WindowDescription* description) {
  std::shared_ptr<Window> window = kwplatform::LookUpWindow(handle);
  if (!window || description == nullptr) return false;
  *description = DescriptionOf(*window);
  return true;
}

}  // namespace kwtesting
