#include "core/image_reader.h"

#include <cstring>

bool ImageReader::InData(uint32_t address, uint32_t size) const {
  uint32_t offset = address - Base(image_.data);
  return address >= Base(image_.data) && offset <= image_.dataSize && image_.dataSize - offset >= size;
}

uint8_t* ImageReader::DataAt(uint32_t address) const {
  return const_cast<uint8_t*>(image_.data) + (address - Base(image_.data));
}

bool ImageReader::Word(uint32_t* value) {
  if (!InData(address_, 4)) return Fail("word");
  memcpy(value, DataAt(address_), 4);
  address_ += 4;
  return true;
}

bool ImageReader::String(RuntimeString** value) {
  uint32_t address;
  if (!Word(&address)) return false;
  *value = nullptr;
  if (address == 0) return true;
  // The image's 32-bit layout: count, buffer, buffer size, length.
  int32_t fields[4];
  if (!InData(address, sizeof fields)) return Fail("string");
  memcpy(fields, DataAt(address), sizeof fields);
  int32_t count = fields[0], bufferSize = fields[2], length = fields[3];
  uint32_t buffer = static_cast<uint32_t>(fields[1]);
  if (count < 1 || length < 1 || length > bufferSize || !InData(buffer, static_cast<uint32_t>(length) + 2))
    return Fail("string");
  *value = reinterpret_cast<RuntimeString*>(DataAt(address));
  return true;
}

bool ImageReader::Entry(void** value, bool mayBeNull) {
  uint32_t address;
  if (!Word(&address)) return false;
  if (address == 0 && mayBeNull) {
    *value = nullptr;
    return true;
  }
  uint32_t offset = address - Base(image_.code);
  if (address < Base(image_.code) || offset >= image_.codeSize) return Fail("entry point");
  *value = const_cast<uint8_t*>(image_.code) + offset;
  return true;
}

bool ImageReader::Count(uint32_t itemWords, uint32_t* count) {
  if (!Word(count)) return false;
  uint32_t left = image_.dataSize - (address_ - Base(image_.data));
  if (*count > left / 4 / itemWords) return Fail("count");
  return true;
}

bool ImageReader::DataRange(uint32_t size, const uint8_t** bytes) {
  uint32_t address;
  if (!Word(&address)) return false;
  if (!InData(address, size)) return Fail("data range");
  *bytes = DataAt(address);
  return true;
}
