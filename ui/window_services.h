// The pane services of windows: refresh, focus, cursor and drawing the window into a Graphics.
#pragma once

#include <cstdint>

#include "core/runtime_layout.h"

extern "C" {
void formRefresh(RuntimeObject* window);
void formRefreshRect(RuntimeObject* window, int32_t x, int32_t y, int32_t width, int32_t height);
void formSetFocus(RuntimeObject* window);
void clearFocus();
void formMouseCursorSetter(RuntimeObject* window, int32_t parameter, RuntimeObject* cursor);
void formDrawInto(RuntimeObject* window, RuntimeObject* graphics, int32_t x, int32_t y);
}
