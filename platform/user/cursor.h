// The mouse cursor's screen position, held by the layer (the headless display has no mouse).
#pragma once

#include "platform/win32.h"

namespace kwplatform {

// The position of the cursor; safe from any thread.
POINT CursorPosition();

}  // namespace kwplatform
