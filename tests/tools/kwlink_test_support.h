// Helpers shared by the kwlink tests: linking hand-made objects and a small standard object.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "tests/tools/elf_builder.h"
#include "tools/kwlink/image_link.h"
#include "tools/kwlink/link_error.h"

namespace kwtest {

using Bytes = std::vector<uint8_t>;

inline Bytes Concat(std::initializer_list<Bytes> parts) {
  Bytes all;
  for (const Bytes& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

inline Bytes Word(uint32_t value) {
  Bytes bytes;
  kwlink::AppendU32(bytes, value);
  return bytes;
}

// Links objects named a.o, b.o, ... in order.
inline kwlink::LinkedImage Link(const std::vector<Bytes>& files, const kwlink::LinkOptions& options = {}) {
  std::vector<kwlink::ElfObject> objects;
  for (size_t i = 0; i < files.size(); i++)
    objects.push_back(kwlink::ReadElfObject(std::string(1, static_cast<char>('a' + i)) + ".o", files[i]));
  return kwlink::LinkObjects(objects, options);
}

// The message of the LinkError that reading or linking raises, or "linked".
inline std::string LinkFailure(const std::vector<Bytes>& files, const kwlink::LinkOptions& options = {}) {
  try {
    Link(files, options);
  } catch (const kwlink::LinkError& error) {
    return error.what();
  }
  return "linked";
}

// Walks a data relocation stream as the loader does: the offsets that get a base added, and
// where the cursor ends. Words kwlink never writes are reported in unknownWords.
struct WalkedRelocations {
  std::map<uint32_t, kwlink::Base> relocated;
  uint32_t end = 0;
  int unknownWords = 0;
};

inline WalkedRelocations WalkDataRelocations(const Bytes& stream) {
  WalkedRelocations walk;
  for (size_t at = 0; at + 1 < stream.size(); at += 2) {
    const uint16_t word = kwlink::ReadU16(stream, at);
    if ((word & 0xF000) == 0x8000) {
      walk.end += (word & 0x0FFF) + 1;
    } else if ((word & 0xFE00) == 0x4000 || (word & 0xFE00) == 0x4200) {
      for (uint32_t i = 0; i <= (word & 0x01FFu); i++, walk.end += 4)
        walk.relocated.emplace(walk.end, (word & 0xFE00) == 0x4000 ? kwlink::Base::Code : kwlink::Base::Data);
    } else {
      walk.unknownWords++;
    }
  }
  return walk;
}

// An object with .text (kw_main at 0) and .data (the global "table" at 0), an undefined
// "RuntimeInit" and whatever relocations a test adds.
struct StandardObject {
  explicit StandardObject(Bytes code = {0xC3}, Bytes data = Bytes(8, 0)) {
    text = elf.Section(".text", CodeFlags, std::move(code), 16);
    this->data = elf.Section(".data", DataFlags, std::move(data));
    kwMain = elf.Symbol("kw_main", static_cast<uint16_t>(text));
    table = elf.Symbol("table", static_cast<uint16_t>(this->data));
    service = elf.Symbol("RuntimeInit", kwlink::elf::UndefinedSection);
  }
  ElfBuilder elf;
  uint32_t text, data, kwMain, table, service;
};

}  // namespace kwtest
