// The non-client area drawn by the default handling of WM_NCPAINT: frame, caption with its
// title and close box, menu bar background and client edge, in the system colours.
#pragma once

#include "platform/user/window.h"

namespace kwplatform {

void PaintFrame(const std::shared_ptr<Window>& window);

}  // namespace kwplatform
