#include "loader/data_relocations.h"

#include <cstring>

namespace {

uint32_t AddressOf(const uint8_t* base) { return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(base)); }

}  // namespace

bool ApplyDataRelocations(ApplicationImage& image, const uint8_t* stream, uint32_t length) {
  uint32_t cursor = 0;  // offset into the data block
  for (uint32_t index = 0; index + 1 < length; index += 2) {
    uint32_t word = stream[index] | (stream[index + 1] << 8);
    if (word >= 0x8000 && word <= 0x8FFF) {
      cursor += (word & 0x0FFF) + 1;
      continue;
    }
    uint32_t base;
    switch (word & 0xFE00) {
      case 0x4000:
      case 0x4600:
        base = AddressOf(image.codeBase);
        break;
      case 0x4200:
        base = AddressOf(image.dataBase);
        break;
      default:
        continue;  // other words change nothing and do not move the cursor
    }
    uint32_t count = (word & 0x01FF) + 1;
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
