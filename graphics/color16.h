// Colours of the drawing port: three 16-bit channels, converted to and from the language's
// 0x00RRGGBB values and GDI's 0x00BBGGRR colour references.
#pragma once

#include <cstdint>

struct RGBColor16 {
  uint16_t red;
  uint16_t green;
  uint16_t blue;
};

inline bool operator==(const RGBColor16& a, const RGBColor16& b) {
  return a.red == b.red && a.green == b.green && a.blue == b.blue;
}

// Each 8-bit channel c becomes c * 257, so 0xFF gives 0xFFFF.
inline RGBColor16 Color16FromLanguage(uint32_t value) {
  return {static_cast<uint16_t>(((value >> 16) & 0xFF) * 257), static_cast<uint16_t>(((value >> 8) & 0xFF) * 257),
          static_cast<uint16_t>((value & 0xFF) * 257)};
}

// Each channel keeps its high byte.
inline uint32_t LanguageFromColor16(RGBColor16 color) {
  return (static_cast<uint32_t>(color.red >> 8) << 16) | (static_cast<uint32_t>(color.green >> 8) << 8) |
         (color.blue >> 8);
}

// GDI colours divide each channel by 257, so a language colour survives the round trip.
inline uint32_t ColorRefFromColor16(RGBColor16 color) {
  return static_cast<uint32_t>(color.red / 257) | (static_cast<uint32_t>(color.green / 257) << 8) |
         (static_cast<uint32_t>(color.blue / 257) << 16);
}

inline RGBColor16 Color16FromColorRef(uint32_t color) {
  return {static_cast<uint16_t>((color & 0xFF) * 257), static_cast<uint16_t>(((color >> 8) & 0xFF) * 257),
          static_cast<uint16_t>(((color >> 16) & 0xFF) * 257)};
}
