#include "core/packed_encoding.h"

#include "core/runtime_string.h"

bool PackedReader::Byte(uint8_t* value) {
  if (failed_ || position_ >= length_) {
    failed_ = true;
    return false;
  }
  *value = bytes_[position_++];
  return true;
}

bool PackedReader::BigEndian32(uint32_t* value) {
  uint32_t result = 0;
  for (int index = 0; index < 4; index++) {
    uint8_t byte;
    if (!Byte(&byte)) return false;
    result = (result << 8) | byte;
  }
  *value = result;
  return true;
}

bool PackedReader::Integer(int32_t* value) {
  uint8_t byte;
  if (!Byte(&byte)) return false;
  bool negative = byte & 0x40;
  uint32_t magnitude = byte & 0x3F;
  int shift = 6;
  // Groups beyond 32 bits are read and dropped, as 32-bit arithmetic would.
  while (byte & 0x80) {
    if (!Byte(&byte)) return false;
    if (shift < 32) magnitude |= static_cast<uint32_t>(byte & 0x7F) << shift;
    shift += 7;
  }
  *value = negative && magnitude != 0x80000000u ? static_cast<int32_t>(0u - magnitude) : static_cast<int32_t>(magnitude);
  return true;
}

bool PackedReader::String(RuntimeString** value) {
  *value = nullptr;
  int32_t length;
  if (!Integer(&length)) return false;
  if (length <= 0) return true;
  if (static_cast<uint32_t>(length) > length_ - position_) {
    failed_ = true;
    return false;
  }
  *value = StringFromBytes(bytes_ + position_, length);
  position_ += static_cast<uint32_t>(length);
  return true;
}
