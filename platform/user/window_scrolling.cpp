// ScrollWindow: moves the pixels of part of a client area and repaints what they uncover.
#include <cstring>
#include <vector>

#include "platform/user/painting.h"
#include "platform/user/window_geometry.h"
#include "platform/user/window_placement.h"
#include "platform/user/window_surfaces.h"

namespace {

using kwplatform::Window;

// Copies the pixels of source (surface coordinates) by (dx, dy), inside limit.
void MovePixels(kwplatform::Surface* surface, RECT source, int dx, int dy, const RECT& limit) {
  RECT target = kwplatform::IntersectRectangles(kwplatform::OffsetRectangle(source, dx, dy), limit);
  target = kwplatform::IntersectRectangles(target, RECT{0, 0, surface->width, surface->height});
  source = kwplatform::IntersectRectangles(kwplatform::OffsetRectangle(target, -dx, -dy),
                                           RECT{0, 0, surface->width, surface->height});
  target = kwplatform::OffsetRectangle(source, dx, dy);
  if (kwplatform::RectangleIsEmpty(source)) return;
  int width = source.right - source.left;
  std::vector<uint32_t> row(static_cast<size_t>(width));
  // Rows in the order that never reads a row already written.
  int first = dy > 0 ? source.bottom - 1 : source.top;
  int last = dy > 0 ? source.top - 1 : source.bottom;
  int step = dy > 0 ? -1 : 1;
  for (int y = first; y != last; y += step) {
    memcpy(row.data(), surface->Row(y) + source.left, row.size() * sizeof(uint32_t));
    memcpy(surface->Row(y + dy) + target.left, row.data(), row.size() * sizeof(uint32_t));
  }
}

}  // namespace

extern "C" BOOL WINAPI ScrollWindow(HWND handle, int dx, int dy, const RECT* scroll, const RECT* clip) {
  std::shared_ptr<Window> window = kwplatform::LookUpOwnWindow(handle);
  if (!window || window->stage != kwplatform::WindowStage::Alive) return FALSE;
  RECT client = kwplatform::ClientRectangle(*window);
  RECT area = scroll ? kwplatform::IntersectRectangles(*scroll, client) : client;
  if (clip) area = kwplatform::IntersectRectangles(area, *clip);
  if (kwplatform::IsVisible(*window) && !kwplatform::RectangleIsEmpty(area)) {
    std::shared_ptr<Window> top = kwplatform::TopLevelOf(handle);
    POINT origin = kwplatform::ClientOriginInTopLevel(*window);
    RECT visible = kwplatform::VisibleRegion(*window, false).Bounds();
    RECT inSurface = kwplatform::IntersectRectangles(kwplatform::OffsetRectangle(area, origin.x, origin.y), visible);
    MovePixels(kwplatform::SurfaceOf(*top).get(), inSurface, dx, dy, inSurface);
  }
  // A pending update inside the area moves with the pixels; what they uncover is repainted.
  kwplatform::Region moved = window->updateRegion;
  moved.IntersectWith(area);
  moved.Offset(dx, dy);
  moved.IntersectWith(area);
  window->updateRegion.Subtract(area);
  window->updateRegion.Add(moved);
  kwplatform::Region uncovered(area);
  uncovered.Subtract(kwplatform::OffsetRectangle(area, dx, dy));
  for (const RECT& part : uncovered.Rectangles()) kwplatform::InvalidateClient(window, &part, true);
  for (HWND childHandle : kwplatform::ChildrenOf(handle)) {
    std::shared_ptr<Window> child = kwplatform::LookUpWindow(childHandle);
    if (!child) continue;
    if (scroll == nullptr) {
      // Scrolling the whole client area carries the children along.
      RECT& place = child->rectangle;
      place = kwplatform::OffsetRectangle(place, dx, dy);
      kwplatform::SendMoveMessage(child);
    } else if (!kwplatform::RectangleIsEmpty(kwplatform::IntersectRectangles(child->rectangle, area))) {
      // Children stay, but their pixels moved with the area's: they repaint.
      kwplatform::RedrawFrame(child);
      kwplatform::InvalidateClient(child, nullptr, true);
    }
  }
  return TRUE;
}
