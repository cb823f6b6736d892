// The byte formats of an application image's streams, shared by the loader that reads them
// and the image tool that writes them.
#pragma once

#include <cstdint>

namespace image_format {

// Code fixup stream: a kind byte opens each record.
constexpr uint8_t ChainRecord = 0x01;          // u32 chain head, u8 name length, the name
constexpr uint8_t DataReferenceRecord = 0x02;  // u32 code offset that gets the data base
constexpr uint8_t NearCallOpcode = 0xE8;       // every chained site is the operand of one

// Data relocation stream: u16 words.
constexpr uint16_t SkipWord = 0x8000;  // 0x8000-0x8FFF: skip (word & 0x0FFF) + 1 bytes
constexpr uint16_t SkipMask = 0x0FFF;
constexpr uint32_t LongestSkip = SkipMask + 1;
constexpr uint16_t RunKindMask = 0xFE00;
constexpr uint16_t CodeRunWord = 0x4000;       // (word & 0x01FF) + 1 words get the code base
constexpr uint16_t OtherCodeRunWord = 0x4600;  // read as a code-base run too
constexpr uint16_t DataRunWord = 0x4200;       // ... the data base
constexpr uint16_t RunCountMask = 0x01FF;
constexpr uint32_t LongestRun = RunCountMask + 1;

}  // namespace image_format
