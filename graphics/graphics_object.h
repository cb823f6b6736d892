// The fields of a Graphics object after the object header (40 bytes with it in the 32-bit
// engine): the port it draws through and what the print dialog filled in.
#pragma once

#include <cstdint>

#include "core/runtime_layout.h"

struct DrawingPort;

struct GraphicsObject {
  RuntimeObject header;
  DrawingPort* port;
  int32_t copies;
  int32_t firstPage;
  int32_t lastPage;
};

#if defined(__i386__)
static_assert(sizeof(GraphicsObject) == 40);
#endif

inline GraphicsObject* AsGraphics(RuntimeObject* object) { return reinterpret_cast<GraphicsObject*>(object); }
