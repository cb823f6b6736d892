#include "loader/data_relocations.h"

#include <cstring>

#include "loader/image_format.h"

namespace {

uint32_t AddressOf(const uint8_t* base) { return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(base)); }

}  // namespace

bool ApplyDataRelocations(ApplicationImage& image, const uint8_t* stream, uint32_t length) {
  uint32_t cursor = 0;  // offset into the data block
  for (uint32_t index = 0; index + 1 < length; index += 2) {
    uint32_t word = stream[index] | (stream[index + 1] << 8);
    if ((word & ~image_format::SkipMask) == image_format::SkipWord) {
      cursor += (word & image_format::SkipMask) + 1;
      continue;
    }
    uint32_t base;
    switch (word & image_format::RunKindMask) {
      case image_format::CodeRunWord:
      case image_format::OtherCodeRunWord:
        base = AddressOf(image.codeBase);
        break;
      case image_format::DataRunWord:
        base = AddressOf(image.dataBase);
        break;
      default:
        continue;  // other words change nothing and do not move the cursor
    }
    uint32_t count = (word & image_format::RunCountMask) + 1;
    if (cursor > image.dataSize || count * 4 > image.dataSize - cursor) return false;
    for (uint32_t run = 0; run < count; run++, cursor += 4) {
      uint32_t value;
      memcpy(&value, image.dataBase + cursor, 4);
      value += base;
      memcpy(image.dataBase + cursor, &value, 4);
    }
  }
  return true;
}
