#include "platform/user/window_surfaces.h"

#include <algorithm>
#include <cstring>

#include "platform/display/screen.h"
#include "platform/user/window_geometry.h"

namespace kwplatform {

namespace {

void CopyPixels(const Surface& from, Surface* to, int left, int top) {
  int fromX = std::max(0, -left);
  int toX = std::max(0, left);
  int width = std::min(from.width - fromX, to->width - toX);
  if (width <= 0) return;
  for (int y = std::max(0, -top); y < from.height && y + top < to->height; y++)
    memcpy(to->Row(y + top) + toX, from.Row(y) + fromX, static_cast<size_t>(width) * sizeof(uint32_t));
}

RECT WindowRectangleInTopLevel(const Window& window) {
  POINT origin = WindowOriginInTopLevel(window);
  return RECT{origin.x, origin.y, origin.x + WindowWidth(window), origin.y + WindowHeight(window)};
}

// Takes away the visible siblings above window that paint opaquely (not WS_EX_TRANSPARENT).
void SubtractSiblingsAbove(const Window& window, Region* region) {
  for (HWND sibling : ChildrenOf(window.parent)) {
    if (sibling == window.handle) return;
    std::shared_ptr<Window> above = LookUpWindow(sibling);
    if (above && (above->style & WS_VISIBLE) && !(above->exStyle & WS_EX_TRANSPARENT))
      region->Subtract(WindowRectangleInTopLevel(*above));
  }
}

}  // namespace

std::shared_ptr<Surface> SurfaceOf(Window& topLevel) {
  int width = std::min(WindowWidth(topLevel), MaximumSurfaceSide);
  int height = std::min(WindowHeight(topLevel), MaximumSurfaceSide);
  if (topLevel.messageOnly) width = height = 0;
  if (!topLevel.surface || topLevel.surface->width != width || topLevel.surface->height != height) {
    std::shared_ptr<Surface> resized = Surface::Make(width, height);
    if (topLevel.surface) CopyPixels(*topLevel.surface, resized.get(), 0, 0);
    topLevel.surface = resized;
  }
  return topLevel.surface;
}

void FitSurfaceAndUpdateRegion(Window& window) {
  if (window.parent == nullptr && window.surface) SurfaceOf(window);
  window.updateRegion.IntersectWith(ClientRectangle(window));
}

Region VisibleRegion(const Window& window, bool wholeWindow) {
  if (!IsVisible(window)) return Region();
  POINT origin = wholeWindow ? WindowOriginInTopLevel(window) : ClientOriginInTopLevel(window);
  RECT area = wholeWindow ? RECT{0, 0, WindowWidth(window), WindowHeight(window)} : ClientRectangle(window);
  Region region(OffsetRectangle(area, origin.x, origin.y));
  std::shared_ptr<Window> current = LookUpWindow(window.handle);
  while (current && current->parent != nullptr) {
    SubtractSiblingsAbove(*current, &region);
    current = LookUpWindow(current->parent);
    if (!current) return Region();
    POINT parentOrigin = ClientOriginInTopLevel(*current);
    region.IntersectWith(OffsetRectangle(ClientRectangle(*current), parentOrigin.x, parentOrigin.y));
  }
  if (current) region.IntersectWith(RECT{0, 0, WindowWidth(*current), WindowHeight(*current)});
  if (!wholeWindow && (window.style & WS_CLIPCHILDREN))
    for (HWND child : ChildrenOf(window.handle)) {
      std::shared_ptr<Window> record = LookUpWindow(child);
      if (record && (record->style & WS_VISIBLE)) region.Subtract(WindowRectangleInTopLevel(*record));
    }
  return region;
}

std::shared_ptr<Surface> ComposeScreen() {
  static std::shared_ptr<Surface> screen;
  ScreenSize size = ScreenDimensions();
  if (!screen || screen->width != size.width || screen->height != size.height)
    screen = Surface::Make(size.width, size.height);
  uint32_t desktop = PixelFromColorRef(GetSysColor(COLOR_BACKGROUND));
  std::fill(screen->ownedPixels.begin(), screen->ownedPixels.end(), desktop);
  std::vector<HWND> windows = TopLevelWindows();
  for (auto handle = windows.rbegin(); handle != windows.rend(); ++handle) {
    std::shared_ptr<Window> window = LookUpWindow(*handle);
    if (!window || !IsVisible(*window)) continue;
    CopyPixels(*SurfaceOf(*window), screen.get(), window->rectangle.left, window->rectangle.top);
  }
  return screen;
}

}  // namespace kwplatform
