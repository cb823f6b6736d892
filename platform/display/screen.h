// The headless display's screen.
#pragma once

namespace kwplatform {

struct ScreenSize {
  int width;
  int height;
};

// 1024 x 768 unless the environment variable KW_SCREEN_SIZE gives "WIDTHxHEIGHT".
ScreenSize ScreenDimensions();

}  // namespace kwplatform
