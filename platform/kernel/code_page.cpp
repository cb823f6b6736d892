#include "platform/kernel/code_page.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <utility>
#include <vector>

#include "platform/kernel/code_page_932_table.h"
#include "platform/testing/testing.h"
#include "platform/win32.h"

namespace kwplatform {
namespace {

constexpr std::array<uint16_t, 128> MakeWindows1252UpperHalf() {
  // 0x80..0x9F differ from Latin-1; the undefined bytes keep their own value (C1 controls).
  constexpr uint16_t k80To9F[32] = {
      0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80
      0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 88
      0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90
      0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 98
  };
  std::array<uint16_t, 128> upperHalf{};
  for (int i = 0; i < 128; ++i) {
    upperHalf[i] = i < 32 ? k80To9F[i] : static_cast<uint16_t>(0x80 + i);  // A0..FF = Latin-1
  }
  return upperHalf;
}

constexpr std::array<uint16_t, 128> kWindows1252UpperHalf = MakeWindows1252UpperHalf();

// Code page 932's single bytes above ASCII: half-width katakana at 0xA1..0xDF, and the bytes
// Windows maps to itself (0x80) or to private-use units (0xA0, 0xFD..0xFF).
uint16_t Single932(unsigned char byte) {
  if (byte < 0x80) return byte;
  if (byte == 0x80) return 0x0080;
  if (byte == 0xA0) return 0xF8F0;
  if (byte >= 0xA1 && byte <= 0xDF) return static_cast<uint16_t>(0xFF61 + (byte - 0xA1));
  if (byte >= 0xFD) return static_cast<uint16_t>(0xF8F1 + (byte - 0xFD));
  return kDefaultUnit932;  // a lead byte without its trail byte
}

bool IsLead932(unsigned char byte) { return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC); }

int LeadIndex932(unsigned char lead) { return lead <= 0x9F ? lead - 0x81 : lead - 0xE0 + 31; }

uint16_t Pair932(unsigned char lead, unsigned char trail) {
  if (trail < 0x40 || trail > 0xFC) return 0;
  return kCodePage932DoubleByte[LeadIndex932(lead)][trail - 0x40];
}

bool IsSecondary932(uint16_t code) {
  for (const CodePage932Range& range : kCodePage932Secondary) {
    if (code >= range.first && code <= range.last) return true;
  }
  return false;
}

// (unit, bytes) for every character of 932 that conversion writes, sorted by unit; single
// bytes are stored as their value, pairs as lead << 8 | trail.
const std::vector<std::pair<uint16_t, uint16_t>>& Encoding932() {
  static const std::vector<std::pair<uint16_t, uint16_t>> table = [] {
    std::vector<std::pair<uint16_t, uint16_t>> entries;
    for (int byte = 0; byte < 256; ++byte) {
      if (!IsLead932(static_cast<unsigned char>(byte))) {
        entries.emplace_back(Single932(static_cast<unsigned char>(byte)), byte);
      }
    }
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
      if (!IsLead932(static_cast<unsigned char>(lead))) continue;
      for (int trail = 0x40; trail <= 0xFC; ++trail) {
        uint16_t code = static_cast<uint16_t>(lead << 8 | trail);
        uint16_t unit = Pair932(static_cast<unsigned char>(lead), static_cast<unsigned char>(trail));
        if (unit != 0 && !IsSecondary932(code)) entries.emplace_back(unit, code);
      }
    }
    std::sort(entries.begin(), entries.end());
    return entries;
  }();
  return table;
}

unsigned CodePageFromEnvironment() {
  const char* value = std::getenv("KW_ANSI_CODE_PAGE");
  // Anything but a page the layer has leaves the default.
  return value != nullptr && std::strcmp(value, "932") == 0 ? 932 : 1252;
}

unsigned& ActivePage() {
  static unsigned page = CodePageFromEnvironment();
  return page;
}

}  // namespace

unsigned AnsiCodePage() { return ActivePage(); }

bool SelectAnsiCodePage(unsigned page) {
  if (page != 1252 && page != 932) return false;
  ActivePage() = page;
  return true;
}

bool IsLeadByteOf(unsigned page, unsigned char byte) { return page == 932 && IsLead932(byte); }

bool IsAnsiLeadByte(unsigned char byte) { return IsLeadByteOf(ActivePage(), byte); }

uint16_t ByteToUnicode(unsigned page, unsigned char byte) {
  if (page == 932) return Single932(byte);
  return byte < 0x80 ? byte : kWindows1252UpperHalf[byte - 0x80];
}

uint16_t AnsiToUnicode(unsigned char byte) { return ByteToUnicode(ActivePage(), byte); }

int DecodeAnsiChar(const char* bytes, int length, uint16_t* unit) {
  auto lead = static_cast<unsigned char>(bytes[0]);
  if (!IsAnsiLeadByte(lead)) {
    *unit = AnsiToUnicode(lead);
    return 1;
  }
  if (length < 2) {
    *unit = kDefaultUnit932;
    return 1;
  }
  uint16_t decoded = Pair932(lead, static_cast<unsigned char>(bytes[1]));
  *unit = decoded != 0 ? decoded : kDefaultUnit932;
  return 2;
}

int EncodeAnsiChar(uint16_t unit, char out[2]) { return EncodeChar(ActivePage(), unit, out); }

int EncodeChar(unsigned page, uint16_t unit, char out[2]) {
  if (page == 932) {
    const auto& table = Encoding932();
    auto found = std::lower_bound(table.begin(), table.end(), std::make_pair(unit, uint16_t{0}));
    if (found == table.end() || found->first != unit) return 0;
    if (found->second < 0x100) {
      out[0] = static_cast<char>(found->second);
      return 1;
    }
    out[0] = static_cast<char>(found->second >> 8);
    out[1] = static_cast<char>(found->second & 0xFF);
    return 2;
  }
  if (unit < 0x80) {
    out[0] = static_cast<char>(unit);
    return 1;
  }
  for (int i = 0; i < 128; ++i) {
    if (kWindows1252UpperHalf[i] == unit) {
      out[0] = static_cast<char>(0x80 + i);
      return 1;
    }
  }
  return 0;
}

}  // namespace kwplatform

bool kwtesting::SelectAnsiCodePage(unsigned page) { return kwplatform::SelectAnsiCodePage(page); }

extern "C" UINT WINAPI GetACP(void) { return kwplatform::AnsiCodePage(); }

extern "C" BOOL WINAPI IsDBCSLeadByte(BYTE TestChar) { return kwplatform::IsAnsiLeadByte(TestChar) ? TRUE : FALSE; }
