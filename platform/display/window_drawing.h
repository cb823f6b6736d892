// The hand-off between the window system and GDI. The window system knows where a window's
// pixels are (its top-level window's surface, or the screen's) and which part of them the
// window may touch; GDI makes the device context that draws there.
#pragma once

#include <memory>

#include "platform/display/region.h"
#include "platform/display/surface.h"
#include "platform/win32.h"

namespace kwplatform {

// A device context drawing on surface for window (null for the screen): logical (0, 0) is at
// origin on the surface, and nothing outside systemClip (surface coordinates) is ever touched,
// whatever clip the caller selects later. Implemented by GDI; null when no handle is left.
HDC OpenWindowDC(HWND window, std::shared_ptr<Surface> surface, POINT origin, const Region& systemClip);

// Frees a device context made by OpenWindowDC (ReleaseDC, EndPaint); false for any other handle.
bool CloseWindowDC(HDC dc);

// The window a device context made by OpenWindowDC draws for (WindowFromDC).
HWND WindowOfDC(HDC dc);

}  // namespace kwplatform
