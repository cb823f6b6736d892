// Little- and big-endian u32 and u16 in byte vectors: the image is little-endian throughout
// except the project resource block, which is big-endian.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace kwlink {

inline uint16_t ReadU16(std::span<const uint8_t> bytes, size_t at) {
  return static_cast<uint16_t>(bytes[at] | bytes[at + 1] << 8);
}

inline uint32_t ReadU32(std::span<const uint8_t> bytes, size_t at) {
  return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 | static_cast<uint32_t>(bytes[at + 3]) << 24;
}

inline void WriteU32(std::vector<uint8_t>& bytes, size_t at, uint32_t value) {
  for (int i = 0; i < 4; i++) bytes[at + i] = static_cast<uint8_t>(value >> 8 * i);
}

inline void AppendU16(std::vector<uint8_t>& bytes, uint16_t value) {
  bytes.push_back(static_cast<uint8_t>(value));
  bytes.push_back(static_cast<uint8_t>(value >> 8));
}

inline void AppendU32(std::vector<uint8_t>& bytes, uint32_t value) {
  for (int i = 0; i < 4; i++) bytes.push_back(static_cast<uint8_t>(value >> 8 * i));
}

inline void AppendU32BigEndian(std::vector<uint8_t>& bytes, uint32_t value) {
  for (int i = 3; i >= 0; i--) bytes.push_back(static_cast<uint8_t>(value >> 8 * i));
}

}  // namespace kwlink
