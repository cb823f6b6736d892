// Resources compiled into the engine executable. Each record's bytes follow a 16-byte marker
// so that the image tool can find the record in the executable file and patch it in a copy.
#pragma once

#include <cstdint>

namespace kwplatform {

struct EmbeddedResourceRecord {
  char marker[16];
  uint8_t data[8];
};

// The marker of the locator resource "PICKLE"/101; its 8 bytes read "PICK" until patched.
inline constexpr char LocatorResourceMarker[16] = {'K', 'W', 'R', 'E', 'S', ':', 'P', 'I',
                                                   'C', 'K', 'L', 'E', '/', '1', '0', '1'};

}  // namespace kwplatform
