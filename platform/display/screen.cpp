#include "platform/display/screen.h"

#include <cstdio>
#include <cstdlib>

namespace kwplatform {

ScreenSize ScreenDimensions() {
  static const ScreenSize size = [] {
    ScreenSize chosen = {1024, 768};
    const char* setting = getenv("KW_SCREEN_SIZE");
    int width = 0;
    int height = 0;
    char end = 0;
    // Anything but two positive numbers keeps the default.
    if (setting && sscanf(setting, "%dx%d%c", &width, &height, &end) == 2 && width > 0 && height > 0)
      chosen = {width, height};
    return chosen;
  }();
  return size;
}

}  // namespace kwplatform
