// The fields every control object carries after the object header (88 bytes with it in the
// 32-bit engine). Compiled subclasses and plug-in controls lay their fields out after them:
// do not reorder, insert or widen fields.
#pragma once

#include <cstdint>

#include "core/runtime_layout.h"
#include "graphics/port_rect.h"

class Pane;
class WindowView;

struct ControlObject {
  RuntimeObject header;
  RuntimeString* name;
  int32_t index;  // in its control array, or 0x80000000 outside one
  RuntimeString* balloonHelp;
  RuntimeString* disabledBalloonHelp;
  int32_t tabPanelIndex;
  RuntimeObject* mouseCursor;
  Pane* pane;  // null before CreatePane and after the window closes
  WindowView* view;
  RuntimeObject* window;
  RuntimeObject* container;  // the enclosing canvas, or nil
  PortRect bounds;           // in the window's client coordinates
  uint8_t visible;
  uint8_t enabled;
  uint8_t lockLeft;
  uint8_t lockTop;
  uint8_t lockRight;
  uint8_t lockBottom;
  uint8_t underMouse;
  uint8_t reservedByte;
  uint32_t reserved[2];
};

#if defined(__i386__)
static_assert(sizeof(ControlObject) == 88);
static_assert(offsetof(ControlObject, pane) == 48);
static_assert(offsetof(ControlObject, bounds) == 64);
static_assert(offsetof(ControlObject, visible) == 72);
#endif

inline ControlObject* AsControl(RuntimeObject* object) { return reinterpret_cast<ControlObject*>(object); }
