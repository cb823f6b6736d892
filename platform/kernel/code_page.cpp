#include "platform/kernel/code_page.h"

#include <array>

#include "platform/win32.h"

namespace kwplatform {
namespace {

// A single-byte code page: bytes below 0x80 are ASCII, the upper half goes through a table.
// A double-byte page (932) would add its lead-byte ranges and a trail-byte table here, and
// DecodeAnsiChar would consume two bytes after a lead byte.
struct CodePage {
  UINT number;
  std::array<uint16_t, 128> upperHalf;  // bytes 0x80..0xFF
};

constexpr CodePage MakeWindows1252() {
  // 0x80..0x9F differ from Latin-1; the undefined bytes keep their own value (C1 controls).
  constexpr uint16_t k80To9F[32] = {
      0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80
      0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 88
      0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90
      0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 98
  };
  CodePage page{1252, {}};
  for (int i = 0; i < 128; ++i) {
    page.upperHalf[i] = i < 32 ? k80To9F[i] : static_cast<uint16_t>(0x80 + i);  // A0..FF = Latin-1
  }
  return page;
}

constexpr CodePage kWindows1252 = MakeWindows1252();

// The code page the process runs with. Fixed for now; the record is what a locale switch selects.
constexpr const CodePage& ActiveCodePage() { return kWindows1252; }

}  // namespace

uint16_t AnsiToUnicode(unsigned char byte) {
  return byte < 0x80 ? byte : ActiveCodePage().upperHalf[byte - 0x80];
}

int DecodeAnsiChar(const char* bytes, int /*length*/, uint16_t* unit) {
  *unit = AnsiToUnicode(static_cast<unsigned char>(bytes[0]));
  return 1;
}

}  // namespace kwplatform

extern "C" UINT WINAPI GetACP(void) { return kwplatform::ActiveCodePage().number; }
