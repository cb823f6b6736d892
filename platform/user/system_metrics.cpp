// System metrics: the headless screen's size and the fixed sizes of the window system.
#include "platform/display/screen.h"
#include "platform/user/window_geometry.h"

extern "C" {

int WINAPI GetSystemMetrics(int index) {
  kwplatform::ScreenSize screen = kwplatform::ScreenDimensions();
  switch (index) {
    case SM_CXSCREEN:
    case SM_CXFULLSCREEN:
      return screen.width;
    case SM_CYSCREEN:
      return screen.height;
    case SM_CYFULLSCREEN:
      return screen.height - kwplatform::CaptionHeight;
    case SM_CXVSCROLL:
    case SM_CYHSCROLL:
    case SM_CYVSCROLL:
    case SM_CXHSCROLL:
    case SM_CYVTHUMB:
    case SM_CXHTHUMB:
      return 16;
    case SM_CYCAPTION:
      return kwplatform::CaptionHeight;
    case SM_CXBORDER:
    case SM_CYBORDER:
      return kwplatform::BorderWidth;
    case SM_CXDLGFRAME:
    case SM_CYDLGFRAME:
      return kwplatform::DialogFrameWidth;
    case SM_CXFRAME:
    case SM_CYFRAME:
      return kwplatform::SizingFrameWidth;
    case SM_CXEDGE:
    case SM_CYEDGE:
      return kwplatform::ClientEdgeWidth;
    case SM_CYMENU:
      return kwplatform::MenuBarHeight;
    case SM_CXSIZE:
      return kwplatform::CaptionButtonWidth;
    case SM_CYSIZE:
      return kwplatform::CaptionButtonHeight;
    case SM_CXICON:
    case SM_CYICON:
    case SM_CXCURSOR:
    case SM_CYCURSOR:
      return 32;
    case SM_CXDOUBLECLK:
    case SM_CYDOUBLECLK:
      return 4;
    case SM_CXMIN:
      return 112;
    case SM_CYMIN:
      return 27;
    case SM_SWAPBUTTON:  // the buttons are never swapped
      return 0;
    case SM_MOUSEPRESENT:
      return 1;
    default:
      return 0;
  }
}

UINT WINAPI GetDoubleClickTime(void) { return 500; }

}  // extern "C"
