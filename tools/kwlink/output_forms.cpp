#include "tools/kwlink/output_forms.h"

#include <algorithm>
#include <cstring>
#include <filesystem>

#include "platform/kernel/embedded_resource.h"
#include "tools/kwlink/byte_order.h"
#include "tools/kwlink/files.h"
#include "tools/kwlink/image_streams.h"
#include "tools/kwlink/link_error.h"

namespace kwlink {
namespace {

constexpr uint32_t NoResourceBlock = 0xFFFFFFFF;
constexpr size_t LocatorSize = sizeof(kwplatform::EmbeddedResourceRecord::data);

// The offset of the locator record's 8 bytes in the engine.
size_t FindLocator(const std::string& engineName, std::span<const uint8_t> engine) {
  const auto* marker = reinterpret_cast<const uint8_t*>(kwplatform::LocatorResourceMarker);
  const size_t markerSize = sizeof kwplatform::LocatorResourceMarker;
  size_t occurrences = 0;
  size_t found = 0;
  for (auto at = engine.begin(); (at = std::search(at, engine.end(), marker, marker + markerSize)) != engine.end();
       ++at) {
    occurrences++;
    found = static_cast<size_t>(at - engine.begin()) + markerSize;
  }
  if (occurrences != 1)
    throw LinkError(engineName + ": holds " + std::to_string(occurrences) + " locator records instead of one");
  if (engine.size() - found < LocatorSize || memcmp(engine.data() + found, "PICK", 4) != 0)
    throw LinkError(engineName + ": the locator record is already patched (the engine carries an application)");
  return found;
}

}  // namespace

ImageBlocks EncodeImage(const LinkedImage& image) {
  return {image.code, EncodeCodeFixups(image.chains, image.dataReferences), image.data,
          EncodeDataRelocations(image.dataRelocations, static_cast<uint32_t>(image.data.size()))};
}

std::vector<uint8_t> SerializeImage(const ImageBlocks& blocks) {
  std::vector<uint8_t> bytes;
  for (const auto* block : {&blocks.code, &blocks.codeFixups, &blocks.data, &blocks.dataRelocations}) {
    AppendU32(bytes, static_cast<uint32_t>(block->size()));
    bytes.insert(bytes.end(), block->begin(), block->end());
  }
  return bytes;
}

std::vector<uint8_t> BuildResourceBlock(std::span<const std::vector<uint8_t>> resources) {
  std::vector<uint8_t> block;
  if (resources.empty()) return block;
  AppendU32BigEndian(block, static_cast<uint32_t>(resources.size()));
  uint64_t offset = 0;
  for (const auto& resource : resources) {
    AppendU32BigEndian(block, static_cast<uint32_t>(offset));
    offset += resource.size();
  }
  if (offset > UINT32_MAX) throw LinkError("the project resources exceed 4 GiB");
  for (const auto& resource : resources) block.insert(block.end(), resource.begin(), resource.end());
  return block;
}

std::vector<uint8_t> BuildProductionFile(const std::string& engineName, std::span<const uint8_t> engine,
                                         std::span<const uint8_t> resourceBlock, const ImageBlocks& blocks) {
  const size_t locator = FindLocator(engineName, engine);
  const std::vector<uint8_t> image = SerializeImage(blocks);
  const uint64_t imageOffset = uint64_t{engine.size()} + resourceBlock.size();
  if (imageOffset + image.size() > UINT32_MAX) throw LinkError("the application file would exceed 4 GiB");

  std::vector<uint8_t> file(engine.begin(), engine.end());
  WriteU32(file, locator, static_cast<uint32_t>(imageOffset));
  WriteU32(file, locator + 4, resourceBlock.empty() ? NoResourceBlock : static_cast<uint32_t>(engine.size()));
  file.insert(file.end(), resourceBlock.begin(), resourceBlock.end());
  file.insert(file.end(), image.begin(), image.end());
  return file;
}

void WriteProductionForm(const std::string& enginePath, const std::string& outputPath,
                         std::span<const uint8_t> resourceBlock, const ImageBlocks& blocks) {
  const std::vector<uint8_t> engine = ReadWholeFile(enginePath);
  const std::vector<uint8_t> file = BuildProductionFile(enginePath, engine, resourceBlock, blocks);
  WriteWholeFile(outputPath, file, std::filesystem::status(enginePath).permissions());
}

void WriteDevelopmentForm(const std::string& directory, std::span<const uint8_t> resourceBlock,
                          const ImageBlocks& blocks) {
  const std::filesystem::path folder(directory);
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  if (error) throw LinkError(directory + ": cannot be created");
  WriteWholeFile(folder / "code1.dat", blocks.code);
  WriteWholeFile(folder / "data1.dat", blocks.data);
  WriteWholeFile(folder / "code2.dat", blocks.codeFixups);
  WriteWholeFile(folder / "data2.dat", blocks.dataRelocations);
  if (!resourceBlock.empty())
    WriteWholeFile(folder / "data3.dat", resourceBlock);
  else
    std::filesystem::remove(folder / "data3.dat", error);
}

}  // namespace kwlink
