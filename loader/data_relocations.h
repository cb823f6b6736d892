// The data relocation stream: u16 words that skip bytes of the data block or add the code or
// data base to runs of 32-bit words.
#pragma once

#include <cstdint>

#include "loader/application_image.h"

// Applies the stream to the image's data block. False when a run would reach past the block
// (the words before it are relocated, nothing outside the block is touched).
bool ApplyDataRelocations(ApplicationImage& image, const uint8_t* stream, uint32_t length);
