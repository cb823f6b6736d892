// Reading mouse messages: the signed client point of lParam and the modifiers of wParam.
#pragma once

#include <cstdint>

#include "platform/win32.h"
#include "ui/pane.h"

inline int32_t MessagePointX(LPARAM lParam) { return static_cast<int16_t>(LOWORD(lParam)); }
inline int32_t MessagePointY(LPARAM lParam) { return static_cast<int16_t>(HIWORD(lParam)); }

inline int32_t MessageModifiers(WPARAM wParam) {
  return ((wParam & MK_SHIFT) ? ShiftModifier : 0) | ((wParam & MK_CONTROL) ? ControlModifier : 0);
}
