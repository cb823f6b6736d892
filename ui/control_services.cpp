#include "ui/control_services.h"

#include "core/object_model.h"
#include "core/runtime_string.h"
#include "system/mouse_cursor.h"
#include "ui/control_object.h"
#include "ui/pane_painting.h"
#include "ui/pane_state.h"
#include "ui/window_view.h"

namespace {

POINT CursorInClient(const ControlObject* control) {
  POINT point = {0, 0};
  GetCursorPos(&point);
  if (control->view && control->view->handle) ScreenToClient(control->view->handle, &point);
  return point;
}

void StoreObject(RuntimeObject** slot, RuntimeObject* value) {
  RuntimeLockObject(value);
  RuntimeObject* old = *slot;
  *slot = value;
  RuntimeUnlockObject(old);
}

}  // namespace

void StoreCursorObject(RuntimeObject** slot, Pane* pane, RuntimeObject* cursor) {
  StoreObject(slot, cursor);
  CursorRecord* record = cursor ? MouseCursorRecord(cursor) : nullptr;
  if (pane) pane->cursor = record ? record->cursor : nullptr;
}

extern "C" {

void RuntimeControlRefresh(RuntimeObject* control) {
  if (control && AsControl(control)->pane) RefreshPane(AsControl(control)->pane);
}

void RuntimeControlRefreshRect(RuntimeObject* control, int32_t x, int32_t y, int32_t width, int32_t height) {
  if (control == nullptr || AsControl(control)->pane == nullptr) return;
  Pane* pane = AsControl(control)->pane;
  int32_t left = pane->bounds.left + x, top = pane->bounds.top + y;
  RefreshPaneRect(pane, {static_cast<int16_t>(top), static_cast<int16_t>(left), static_cast<int16_t>(top + height),
                         static_cast<int16_t>(left + width)});
}

void RuntimeSetFocus(RuntimeObject* control) {
  if (control) RequestFocus(AsControl(control)->pane);
}

int32_t ctlPosGetter(RuntimeObject* control, int32_t selector) {
  if (control == nullptr) return 0;
  const PortRect& bounds = AsControl(control)->bounds;
  switch (selector) {
    case LeftSelector: return bounds.left;
    case TopSelector: return bounds.top;
    case WidthSelector: return bounds.right - bounds.left;
    case HeightSelector: return bounds.bottom - bounds.top;
    default: return 0;
  }
}

void ctlPosSetter(RuntimeObject* control, int32_t selector, int32_t value) {
  if (control == nullptr) return;
  ControlObject* object = AsControl(control);
  PortRect bounds = object->bounds;
  auto coordinate = [](int32_t v) { return static_cast<int16_t>(v); };
  switch (selector) {
    case LeftSelector:
      bounds.right = coordinate(bounds.right + value - bounds.left);
      bounds.left = coordinate(value);
      break;
    case TopSelector:
      bounds.bottom = coordinate(bounds.bottom + value - bounds.top);
      bounds.top = coordinate(value);
      break;
    case WidthSelector: bounds.right = coordinate(bounds.left + value); break;
    case HeightSelector: bounds.bottom = coordinate(bounds.top + value); break;
    default: return;
  }
  if (bounds == object->bounds) return;
  object->bounds = bounds;
  if (object->pane) object->pane->SetBounds(bounds, true);
}

bool controlVisibleGetter(RuntimeObject* control, int32_t) { return control && AsControl(control)->visible; }

void ControlVisibleSetter(RuntimeObject* control, int32_t, bool visible) {
  if (control == nullptr) return;
  if (Pane* pane = AsControl(control)->pane) pane->Notify(visible ? ShowNotification : HideNotification);
  AsControl(control)->visible = visible;
}

bool controlEnabledGetter(RuntimeObject* control, int32_t) { return control && AsControl(control)->enabled; }

void controlEnabledSetter(RuntimeObject* control, int32_t, bool enabled) {
  if (control == nullptr) return;
  AsControl(control)->enabled = enabled;
  if (Pane* pane = AsControl(control)->pane) pane->Notify(enabled ? EnableNotification : DisableNotification);
}

bool controlLockLeftGetter(RuntimeObject* control, int32_t) { return control && AsControl(control)->lockLeft; }
bool controlLockTopGetter(RuntimeObject* control, int32_t) { return control && AsControl(control)->lockTop; }
bool controlLockRightGetter(RuntimeObject* control, int32_t) { return control && AsControl(control)->lockRight; }
bool controlLockBottomGetter(RuntimeObject* control, int32_t) { return control && AsControl(control)->lockBottom; }

void controlLockLeftSetter(RuntimeObject* control, int32_t, bool lock) {
  if (control) AsControl(control)->lockLeft = lock;
}
void controlLockTopSetter(RuntimeObject* control, int32_t, bool lock) {
  if (control) AsControl(control)->lockTop = lock;
}
void controlLockRightSetter(RuntimeObject* control, int32_t, bool lock) {
  if (control) AsControl(control)->lockRight = lock;
}
void controlLockBottomSetter(RuntimeObject* control, int32_t, bool lock) {
  if (control) AsControl(control)->lockBottom = lock;
}

void controlMouseCursorSetter(RuntimeObject* control, int32_t, RuntimeObject* cursor) {
  if (control) StoreCursorObject(&AsControl(control)->mouseCursor, AsControl(control)->pane, cursor);
}

void controlBalloonHelpSetter(RuntimeObject* control, int32_t, RuntimeString* text) {
  if (control) StringAssign(&AsControl(control)->balloonHelp, &text);
}

void controlDisabledBalloonHelpSetter(RuntimeObject* control, int32_t, RuntimeString* text) {
  if (control) StringAssign(&AsControl(control)->disabledBalloonHelp, &text);
}

int32_t controlMouseXGetter(RuntimeObject* control, int32_t) {
  return control ? CursorInClient(AsControl(control)).x : 0;
}

int32_t controlMouseYGetter(RuntimeObject* control, int32_t) {
  return control ? CursorInClient(AsControl(control)).y : 0;
}

RuntimeObject* controlWindowGetter(RuntimeObject* control, int32_t) {
  if (control == nullptr) return nullptr;
  RuntimeLockObject(AsControl(control)->window);
  return AsControl(control)->window;
}

}  // extern "C"
