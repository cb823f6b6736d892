// The names of the system's fonts, enumerated once on first use.
#pragma once

#include <cstdint>

#include "core/runtime_layout.h"

extern "C" {
int32_t getFontCount();
// The i-th name (0-based); OutOfBoundsException unless 0 <= i < getFontCount().
RuntimeString* getFontName(int32_t index);
}
