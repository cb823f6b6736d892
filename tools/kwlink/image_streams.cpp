#include "tools/kwlink/image_streams.h"

#include <algorithm>
#include <stdexcept>

#include "loader/image_format.h"
#include "tools/kwlink/byte_order.h"

namespace kwlink {

using namespace image_format;

std::vector<uint8_t> EncodeCodeFixups(std::span<const CallChain> chains, std::span<const uint32_t> dataReferences) {
  std::vector<uint8_t> stream;
  for (const CallChain& chain : chains) {
    stream.push_back(ChainRecord);
    AppendU32(stream, chain.head);
    stream.push_back(static_cast<uint8_t>(chain.name.size()));
    stream.insert(stream.end(), chain.name.begin(), chain.name.end());
  }
  for (uint32_t offset : dataReferences) {
    stream.push_back(DataReferenceRecord);
    AppendU32(stream, offset);
  }
  return stream;
}

std::vector<uint8_t> EncodeDataRelocations(std::span<const DataRelocation> relocations, uint32_t blockSize) {
  std::vector<uint8_t> stream;
  uint32_t cursor = 0;
  auto skipTo = [&](uint32_t offset) {
    if (offset < cursor || offset > blockSize)
      throw std::logic_error("data relocations out of order or outside the block");
    while (cursor < offset) {
      const uint32_t bytes = std::min(offset - cursor, LongestSkip);
      AppendU16(stream, static_cast<uint16_t>(SkipWord | (bytes - 1)));
      cursor += bytes;
    }
  };
  for (size_t next = 0; next < relocations.size();) {
    skipTo(relocations[next].offset);
    const Base base = relocations[next].base;
    uint32_t words = 0;
    while (next < relocations.size() && words < LongestRun && relocations[next].offset == cursor &&
           relocations[next].base == base) {
      words++;
      next++;
      cursor += 4;
    }
    AppendU16(stream, static_cast<uint16_t>((base == Base::Code ? CodeRunWord : DataRunWord) | (words - 1)));
  }
  skipTo(blockSize);
  return stream;
}

}  // namespace kwlink
