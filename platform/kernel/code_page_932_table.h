// The double-byte half of code page 932 (Shift-JIS as Windows defines it), generated from a
// standard codec by tools/generate-code-page-932.py.
#pragma once

#include <array>
#include <cstdint>

namespace kwplatform {

// Lead bytes 0x81..0x9F and 0xE0..0xFC; trail bytes 0x40..0xFC. A cell holds the UTF-16 unit of
// lead, trail, or 0 when the pair is not assigned.
constexpr int kCodePage932LeadCount = 60;
constexpr int kCodePage932TrailCount = 189;
using CodePage932Rows = std::array<std::array<uint16_t, kCodePage932TrailCount>, kCodePage932LeadCount>;
extern const CodePage932Rows kCodePage932DoubleByte;

// Pairs that decode to a character also encoded by a preferred pair, which is what conversion
// to the code page writes (the NEC and IBM duplicates), as ascending ranges of lead << 8 | trail.
struct CodePage932Range {
  uint16_t first;
  uint16_t last;
};
constexpr int kCodePage932SecondaryCount = 10;
extern const CodePage932Range kCodePage932Secondary[kCodePage932SecondaryCount];

}  // namespace kwplatform
