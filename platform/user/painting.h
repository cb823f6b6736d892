// Invalidation and painting: update regions, the WM_PAINT the queue makes from them, the
// device contexts of windows, and frame redrawing.
#pragma once

#include <functional>

#include "platform/user/window.h"

namespace kwplatform {

// Adds a rectangle of the client area (null: all of it) to the window's update region, and to
// its children's where they overlap unless the window has WS_CLIPCHILDREN: a parent paints
// over its children, which then repaint. A hidden window collects nothing.
void InvalidateClient(const std::shared_ptr<Window>& window, const RECT* rectangle, bool erase);

// Invalidates the part of the parent that a child covers (before it is hidden or moved away).
void InvalidateUnder(const Window& window);

// Sends WM_NCPAINT to a visible window that has a frame, caption or edge.
void RedrawFrame(const std::shared_ptr<Window>& window);

// The first window of the queue that needs painting and that accepts takes: top-level windows
// in z-order, each before its children, children bottom first (the order they appear on
// screen); null when none does.
HWND FindWindowToPaint(const MessageQueue* queue, const std::function<bool(HWND)>& accepts);

// Sends or dispatches WM_PAINT to a window: when its handler does not call BeginPaint, the
// window is validated all the same, so that the message does not come back at once.
LRESULT DeliverPaint(const std::shared_ptr<Window>& window);

// Empties a window's update region with its pending erase and frame.
void Validate(Window& window);

}  // namespace kwplatform
