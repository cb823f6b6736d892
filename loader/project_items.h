// The project items of the project table and the project object array they fill.
#pragma once

#include <cstdint>

#include "core/image_reader.h"
#include "loader/startup.h"

// Processes the item count and the items at address in order. False, with a message for the
// user, for an unknown item kind or an item that does not lie inside the image.
bool ProcessProjectItems(const ImageMemory& image, uint32_t address, ApplicationSettings* settings,
                         RuntimeString** message);
