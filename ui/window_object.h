// The fields of a Window object after the object header (108 bytes with it in the 32-bit
// engine). Compiled window classes lay their fields out after them: do not reorder.
#pragma once

#include <cstdint>

#include "core/runtime_layout.h"
#include "graphics/port_rect.h"

class WindowView;
struct ControlTable;
struct ControlSetRecord;

struct WindowObject {
  RuntimeObject header;
  uint8_t visible;  // as stored before the view exists
  uint8_t closeBox;
  uint8_t growIcon;
  uint8_t zoomIcon;
  WindowView* view;  // null when closed
  RuntimeObject* graphics;
  PortRect bounds;     // on the screen (or in the MDI client)
  PortRect oldBounds;  // at the last Resized
  RuntimeString* title;
  RuntimeObject* backdrop;
  int32_t backdropHandle;
  int32_t frame;
  int32_t placement;
  int32_t backColor;
  int16_t minWidth;
  int16_t minHeight;
  int16_t maxWidth;
  int16_t maxHeight;
  RuntimeObject* mouseCursor;
  RuntimeString* balloonHelp;
  uint8_t hasBackColor;
  RuntimeString* floaterProcess;
  ControlTable* controlTable;
  ControlSetRecord* controlSets;
};

#if defined(__i386__)
static_assert(sizeof(WindowObject) == 108);
static_assert(offsetof(WindowObject, view) == 28);
static_assert(offsetof(WindowObject, bounds) == 36);
static_assert(offsetof(WindowObject, mouseCursor) == 84);
#endif

inline WindowObject* AsWindow(RuntimeObject* object) { return reinterpret_cast<WindowObject*>(object); }
