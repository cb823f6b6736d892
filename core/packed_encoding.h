// The compact encodings of the settings stream, window description blocks and the menu-bar
// block: packed integers and packed strings, read from a bounded byte range.
#pragma once

#include <cstdint>

#include "core/runtime_layout.h"

class PackedReader {
 public:
  PackedReader(const uint8_t* bytes, uint32_t length) : bytes_(bytes), length_(length) {}

  // Each read fails (and every later one too) when it would pass the end of the range.
  bool Byte(uint8_t* value);
  bool BigEndian32(uint32_t* value);
  // First byte: sign in bit 6, magnitude bits 0-5, continuation in bit 7; further bytes add 7
  // bits each, least significant group first. A magnitude of 0x80000000 is not negated.
  bool Integer(int32_t* value);
  // A packed integer length, then that many bytes; a length of 0 or less is the empty string.
  // The string carries one reference for the caller.
  bool String(RuntimeString** value);

  bool Failed() const { return failed_; }
  uint32_t Position() const { return position_; }

 private:
  const uint8_t* bytes_;
  uint32_t length_;
  uint32_t position_ = 0;
  bool failed_ = false;
};
