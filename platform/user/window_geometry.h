// Window geometry: the fixed sizes of the non-client area, client and window rectangles, and
// conversions between screen, window, client and top-level surface coordinates.
#pragma once

#include "platform/user/window.h"

namespace kwplatform {

// Non-client sizes are fixed, so that a client rectangle turned into a window rectangle and
// back gives the bounds asked for.
constexpr int BorderWidth = 1;        // WS_BORDER alone
constexpr int DialogFrameWidth = 3;   // WS_DLGFRAME (and so WS_CAPTION), WS_EX_DLGMODALFRAME
constexpr int SizingFrameWidth = 4;   // WS_THICKFRAME
constexpr int ClientEdgeWidth = 2;    // WS_EX_CLIENTEDGE
constexpr int StaticEdgeWidth = 1;    // WS_EX_STATICEDGE
constexpr int CaptionHeight = 19;     // the caption bar with the line beneath it
constexpr int MenuBarHeight = 19;     // one line of menu bar
constexpr int CaptionButtonWidth = 16;
constexpr int CaptionButtonHeight = 14;

// The thickness of the non-client area on each side (left, top, right, bottom) for a style.
RECT NonClientInsets(DWORD style, DWORD exStyle, bool menuBar);
RECT NonClientInsets(const Window& window);
bool HasMenuBar(const Window& window);  // a top-level window with a menu

// The parts of the non-client area, in window coordinates (relative to the window's top left);
// empty rectangles for parts the style lacks.
struct FrameLayout {
  RECT insets;    // as NonClientInsets
  int frame;      // the width of the outer frame (border, dialog or sizing frame)
  int edge;       // the width of the client edge inside it
  RECT caption;   // the caption bar, without the line beneath it
  RECT closeBox;  // the close box on the caption (WS_SYSMENU)
  RECT menuBar;
};
FrameLayout LayOutFrame(const Window& window);

int WindowWidth(const Window& window);
int WindowHeight(const Window& window);
// The client area relative to the window's own client origin: (0, 0, width, height).
RECT ClientRectangle(const Window& window);
// The client area in the parent's client coordinates (on the screen for a top-level window).
RECT ClientRectangleInParent(const Window& window);

// Where a window's rectangle and client area start on the screen.
POINT WindowOriginOnScreen(const Window& window);
POINT ClientOriginOnScreen(const Window& window);
// Where they start in the surface of the window's top-level window.
POINT WindowOriginInTopLevel(const Window& window);
POINT ClientOriginInTopLevel(const Window& window);

RECT OffsetRectangle(RECT rectangle, int dx, int dy);

}  // namespace kwplatform
