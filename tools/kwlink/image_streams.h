// The two streams the loader walks: the code fixup stream and the data relocation stream.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "tools/kwlink/image_link.h"

namespace kwlink {

// Code fixup stream: one record per chain {0x01, u32 head, u8 name length, name}, in the
// order given, then one record per data reference {0x02, u32 code offset}.
std::vector<uint8_t> EncodeCodeFixups(std::span<const CallChain> chains, std::span<const uint32_t> dataReferences);

// Data relocation stream of u16 words covering blockSize bytes exactly: skips of 1 to 4096
// bytes (0x8000 | n - 1) over the bytes between relocated words, runs of 1 to 512 consecutive
// words relocated against one base (0x4000 | n - 1 for the code base, 0x4200 | n - 1 for the
// data base). The relocations must be ascending, not overlapping and inside the block.
std::vector<uint8_t> EncodeDataRelocations(std::span<const DataRelocation> relocations, uint32_t blockSize);

}  // namespace kwlink
