// The system colours and their brushes.
#pragma once

#include <optional>

#include "platform/win32.h"

namespace kwplatform {

// The number of system colour indexes (0 .. SystemColorCount - 1).
inline constexpr int SystemColorCount = COLOR_MENUBAR + 1;

// The colour a brush handle paints with: a solid brush's colour, or for a small value (a
// system colour index + 1, as window classes and FillRect accept) that system colour. Nothing
// for a null brush or a handle that names no brush.
std::optional<COLORREF> BrushFillColor(HBRUSH brush);

}  // namespace kwplatform
