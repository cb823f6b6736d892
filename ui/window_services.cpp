#include "ui/window_services.h"

#include "graphics/drawing_port.h"
#include "graphics/graphics_object.h"
#include "ui/control_services.h"
#include "ui/pane_painting.h"
#include "ui/pane_state.h"
#include "ui/window_object.h"
#include "ui/window_view.h"

namespace {

WindowView* ViewOf(RuntimeObject* window) { return window ? AsWindow(window)->view : nullptr; }

}  // namespace

extern "C" {

void formRefresh(RuntimeObject* window) {
  if (WindowView* view = ViewOf(window)) RefreshPane(view);
}

void formRefreshRect(RuntimeObject* window, int32_t x, int32_t y, int32_t width, int32_t height) {
  if (WindowView* view = ViewOf(window))
    RefreshPaneRect(view, {static_cast<int16_t>(y), static_cast<int16_t>(x), static_cast<int16_t>(y + height),
                           static_cast<int16_t>(x + width)});
}

void formSetFocus(RuntimeObject* window) {
  // The window itself takes the focus, whether or not it accepts it.
  if (WindowView* view = ViewOf(window)) ChangeFocus(view);
}

void clearFocus() { ChangeFocus(nullptr); }

void formMouseCursorSetter(RuntimeObject* window, int32_t, RuntimeObject* cursor) {
  if (window) StoreCursorObject(&AsWindow(window)->mouseCursor, ViewOf(window), cursor);
}

void formDrawInto(RuntimeObject* window, RuntimeObject* graphics, int32_t x, int32_t y) {
  WindowView* view = ViewOf(window);
  DrawingPort* port = graphics ? AsGraphics(graphics)->port : nullptr;
  if (view == nullptr || port == nullptr) return;
  // The window's top left lands at (x, y) of the Graphics.
  int32_t originX = port->originX, originY = port->originY;
  PortSetOrigin(port, originX - x, originY - y);
  view->DrawInto(port);
  PortSetOrigin(port, originX, originY);
}

}  // extern "C"
