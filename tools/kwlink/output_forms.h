// The two forms of an application: the production form (a copy of the engine executable with
// the project resource block and the image appended and the locator record patched) and the
// development form (the blocks as loose files in a directory).
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "tools/kwlink/image_link.h"

namespace kwlink {

struct ImageBlocks {
  std::vector<uint8_t> code;
  std::vector<uint8_t> codeFixups;
  std::vector<uint8_t> data;
  std::vector<uint8_t> dataRelocations;
};

ImageBlocks EncodeImage(const LinkedImage& image);

// The four blocks back to back, each a u32 little-endian length and its bytes.
std::vector<uint8_t> SerializeImage(const ImageBlocks& blocks);

// u32 big-endian count, the big-endian offset of each resource from the end of that table,
// then the resources in order. No resources give no block (an empty vector).
std::vector<uint8_t> BuildResourceBlock(std::span<const std::vector<uint8_t>> resources);

// The engine with the locator record patched, then the resource block (none when empty), then
// the image. The engine must hold exactly one locator record, unpatched; engineName names it
// in messages.
std::vector<uint8_t> BuildProductionFile(const std::string& engineName, std::span<const uint8_t> engine,
                                         std::span<const uint8_t> resourceBlock, const ImageBlocks& blocks);

// Writes the production file with the engine file's permissions.
void WriteProductionForm(const std::string& enginePath, const std::string& outputPath,
                         std::span<const uint8_t> resourceBlock, const ImageBlocks& blocks);

// Writes code1.dat, data1.dat, code2.dat, data2.dat and, with resources, data3.dat into the
// directory, creating it when needed. Without resources a data3.dat left there is removed.
void WriteDevelopmentForm(const std::string& directory, std::span<const uint8_t> resourceBlock,
                          const ImageBlocks& blocks);

}  // namespace kwlink
