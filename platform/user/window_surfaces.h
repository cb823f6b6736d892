// The pixels of windows: each top-level window has a surface the size of its window rectangle,
// and its children draw into their part of it. The screen is composed from the surfaces of
// the visible top-level windows, bottom of the z-order first.
#pragma once

#include "platform/user/window.h"

namespace kwplatform {

// A top-level window's surface, made or resized to the window on first use. Surfaces are at
// most MaximumSurfaceSide pixels on each side: an enormous window keeps only that much.
constexpr int MaximumSurfaceSide = 4096;
std::shared_ptr<Surface> SurfaceOf(Window& topLevel);

// After a size change: a top-level window's surface takes the new size keeping its pixels, and
// the pending update region is clipped to the new client area.
void FitSurfaceAndUpdateRegion(Window& window);

// The part of its top-level window's surface that a window may draw on, in surface
// coordinates: its client area (or whole window), clipped to its ancestors' client areas, less
// the opaque siblings above it and its ancestors (children always clip those), less its own
// children when it has WS_CLIPCHILDREN. Empty for a hidden window.
Region VisibleRegion(const Window& window, bool wholeWindow);

// The screen: the desktop, then every visible top-level window over it.
std::shared_ptr<Surface> ComposeScreen();

}  // namespace kwplatform
