// Stands in for the engine in image tests: an executable that holds the locator record as
// the engine compiles it, and prints its two words.
#include <cstdio>

#include "platform/kernel/embedded_resource.h"

namespace {

constexpr kwplatform::EmbeddedResourceRecord UnpatchedLocator() {
  kwplatform::EmbeddedResourceRecord record{};
  for (int i = 0; i < 16; i++) record.marker[i] = kwplatform::LocatorResourceMarker[i];
  record.data[0] = 'P', record.data[1] = 'I', record.data[2] = 'C', record.data[3] = 'K';
  return record;
}

// Volatile: the image tool patches the bytes in the file, so they must be read, never folded.
volatile const kwplatform::EmbeddedResourceRecord locator = UnpatchedLocator();

}  // namespace

int main() {
  unsigned words[2];
  for (int word = 0; word < 2; word++) {
    words[word] = 0;
    for (int i = 3; i >= 0; i--) words[word] = words[word] << 8 | locator.data[4 * word + i];
  }
  std::printf("%08x %08x\n", words[0], words[1]);
}
