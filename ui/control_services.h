// The services through which language code refreshes, focuses and positions controls and reads
// their pane-related properties. A control without a pane changes only its object's fields.
#pragma once

#include <cstdint>

#include "core/runtime_layout.h"

// Selectors of ctlPosGetter and ctlPosSetter.
enum ControlPositionSelector : int32_t { LeftSelector = 0, TopSelector = 1, WidthSelector = 2, HeightSelector = 3 };

class Pane;

// Stores a MouseCursor object in a slot (reference counted) and gives its cursor to the pane,
// which uses it from the next cursor selection on.
void StoreCursorObject(RuntimeObject** slot, Pane* pane, RuntimeObject* cursor);

extern "C" {
void RuntimeControlRefresh(RuntimeObject* control);
void RuntimeControlRefreshRect(RuntimeObject* control, int32_t x, int32_t y, int32_t width, int32_t height);
void RuntimeSetFocus(RuntimeObject* control);
int32_t ctlPosGetter(RuntimeObject* control, int32_t selector);
void ctlPosSetter(RuntimeObject* control, int32_t selector, int32_t value);
bool controlVisibleGetter(RuntimeObject* control, int32_t parameter);
void ControlVisibleSetter(RuntimeObject* control, int32_t parameter, bool visible);
bool controlEnabledGetter(RuntimeObject* control, int32_t parameter);
void controlEnabledSetter(RuntimeObject* control, int32_t parameter, bool enabled);
bool controlLockLeftGetter(RuntimeObject* control, int32_t parameter);
bool controlLockTopGetter(RuntimeObject* control, int32_t parameter);
bool controlLockRightGetter(RuntimeObject* control, int32_t parameter);
bool controlLockBottomGetter(RuntimeObject* control, int32_t parameter);
void controlLockLeftSetter(RuntimeObject* control, int32_t parameter, bool lock);
void controlLockTopSetter(RuntimeObject* control, int32_t parameter, bool lock);
void controlLockRightSetter(RuntimeObject* control, int32_t parameter, bool lock);
void controlLockBottomSetter(RuntimeObject* control, int32_t parameter, bool lock);
void controlMouseCursorSetter(RuntimeObject* control, int32_t parameter, RuntimeObject* cursor);
void controlBalloonHelpSetter(RuntimeObject* control, int32_t parameter, RuntimeString* text);
void controlDisabledBalloonHelpSetter(RuntimeObject* control, int32_t parameter, RuntimeString* text);
int32_t controlMouseXGetter(RuntimeObject* control, int32_t parameter);
int32_t controlMouseYGetter(RuntimeObject* control, int32_t parameter);
RuntimeObject* controlWindowGetter(RuntimeObject* control, int32_t parameter);
}
