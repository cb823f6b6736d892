// Hit testing: which window a screen point belongs to. Later siblings lie on top; a window that
// answers WM_NCHITTEST with HTTRANSPARENT (a group box) lets the point through to what lies
// beneath; a disabled child passes the point to its parent.
#pragma once

#include "platform/user/window.h"

namespace kwplatform {

struct HitTarget {
  HWND window;  // null when the point is over no window
  int code;     // the WM_NCHITTEST answer: HTCLIENT, HTCAPTION, HTCLOSE...; HTERROR on a disabled window
};

// The deepest visible window at a screen point that takes mouse input.
HitTarget FindMouseTarget(POINT screen);

// The default WM_NCHITTEST answer for a window: which part of it lies at a screen point.
int HitTestParts(const Window& window, POINT screen);

}  // namespace kwplatform
