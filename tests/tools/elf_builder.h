// Builds small ELF32 i386 relocatable objects byte by byte, for tests that need exact control
// over sections, symbols and relocations (including ones a compiler would never emit).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/kwlink/byte_order.h"
#include "tools/kwlink/elf_object.h"

namespace kwtest {

inline constexpr uint32_t CodeFlags = kwlink::elf::FlagAllocated | kwlink::elf::FlagExecutable;
inline constexpr uint32_t DataFlags = kwlink::elf::FlagAllocated | 0x1;  // allocated, writable
inline constexpr uint32_t ReadOnlyFlags = kwlink::elf::FlagAllocated;

inline constexpr uint16_t ElfHeaderShoff = 32;  // offsets of ELF header fields
inline constexpr uint16_t ElfHeaderShentsize = 46;
inline constexpr uint16_t ElfHeaderShnum = 48;
inline constexpr uint16_t ElfHeaderShstrndx = 50;

// "call rel32" with the operand a compiler leaves for an undefined target.
inline const std::vector<uint8_t> CallBytes = {0xE8, 0xFC, 0xFF, 0xFF, 0xFF};

class ElfBuilder {
 public:
  struct Relocation {
    uint32_t offset;
    uint8_t type;
    uint32_t symbol;
  };

  // Each returns the new section's or symbol's index.
  uint32_t Section(const std::string& name, uint32_t flags, std::vector<uint8_t> bytes, uint32_t alignment = 4,
                   uint32_t type = kwlink::elf::SectionProgramBits) {
    sections_.push_back({name, type, flags, alignment, static_cast<uint32_t>(bytes.size()), std::move(bytes), {}});
    return static_cast<uint32_t>(sections_.size());
  }
  uint32_t Bss(const std::string& name, uint32_t size, uint32_t alignment = 4) {
    sections_.push_back({name, kwlink::elf::SectionNoBits, DataFlags, alignment, size, {}, {}});
    return static_cast<uint32_t>(sections_.size());
  }
  uint32_t Symbol(const std::string& name, uint16_t section, uint32_t value = 0,
                  uint8_t binding = kwlink::elf::BindingGlobal, uint8_t type = 0, uint32_t size = 0) {
    symbols_.push_back({name, section, value, binding, type, size});
    return static_cast<uint32_t>(symbols_.size());
  }
  // A local section symbol, as assemblers use for references to local labels.
  uint32_t SectionSymbol(uint32_t section) {
    return Symbol("", static_cast<uint16_t>(section), 0, kwlink::elf::BindingLocal, kwlink::elf::TypeSection);
  }
  void Relocate(uint32_t section, uint32_t offset, uint8_t type, uint32_t symbol) {
    sections_[section - 1].relocations.push_back({offset, type, symbol});
  }

  // Section indices after the user's sections: the relocation sections in the order of the
  // sections they patch, then the symbol table, its strings and the section names.
  uint32_t RelocationSectionCount() const {
    uint32_t count = 0;
    for (const auto& section : sections_) count += !section.relocations.empty();
    return count;
  }
  uint32_t SymbolTableIndex() const { return static_cast<uint32_t>(sections_.size()) + RelocationSectionCount() + 1; }

  std::vector<uint8_t> Build() const {
    struct Header {
      uint32_t name, type, flags, offset, size, link, info, alignment, entrySize;
    };
    std::vector<uint8_t> file(52, 0);
    std::vector<uint8_t> names(1, 0);
    std::vector<Header> headers(1, Header{});
    auto nameOf = [&](const std::string& name) {
      const auto at = static_cast<uint32_t>(names.size());
      names.insert(names.end(), name.begin(), name.end());
      names.push_back(0);
      return at;
    };
    auto place = [&](const std::vector<uint8_t>& bytes) {
      while (file.size() % 4) file.push_back(0);
      const auto at = static_cast<uint32_t>(file.size());
      file.insert(file.end(), bytes.begin(), bytes.end());
      return at;
    };
    const uint32_t symbolTable = SymbolTableIndex();
    for (const auto& section : sections_)
      headers.push_back({nameOf(section.name), section.type, section.flags, place(section.bytes), section.size, 0, 0,
                         section.alignment, 0});
    for (size_t index = 0; index < sections_.size(); index++) {
      if (sections_[index].relocations.empty()) continue;
      std::vector<uint8_t> entries;
      for (const auto& relocation : sections_[index].relocations) {
        kwlink::AppendU32(entries, relocation.offset);
        kwlink::AppendU32(entries, relocation.symbol << 8 | relocation.type);
      }
      headers.push_back({nameOf(".rel" + sections_[index].name), kwlink::elf::SectionRelocations, 0, place(entries),
                         static_cast<uint32_t>(entries.size()), symbolTable, static_cast<uint32_t>(index + 1), 4, 8});
    }
    std::vector<uint8_t> strings(1, 0);
    std::vector<uint8_t> entries(16, 0);
    uint32_t locals = 1;
    for (const auto& symbol : symbols_) {
      kwlink::AppendU32(entries, static_cast<uint32_t>(strings.size()));
      strings.insert(strings.end(), symbol.name.begin(), symbol.name.end());
      strings.push_back(0);
      kwlink::AppendU32(entries, symbol.value);
      kwlink::AppendU32(entries, symbol.size);
      entries.push_back(static_cast<uint8_t>(symbol.binding << 4 | symbol.type));
      entries.push_back(0);
      kwlink::AppendU16(entries, symbol.section);
      if (symbol.binding == kwlink::elf::BindingLocal && locals == entries.size() / 16 - 1) locals++;
    }
    headers.push_back({nameOf(".symtab"), kwlink::elf::SectionSymbolTable, 0, place(entries),
                       static_cast<uint32_t>(entries.size()), symbolTable + 1, locals, 4, 16});
    headers.push_back({nameOf(".strtab"), kwlink::elf::SectionStringTable, 0, place(strings),
                       static_cast<uint32_t>(strings.size()), 0, 0, 1, 0});
    const uint32_t namesName = nameOf(".shstrtab");
    headers.push_back(
        {namesName, kwlink::elf::SectionStringTable, 0, place(names), static_cast<uint32_t>(names.size()), 0, 0, 1, 0});
    const uint32_t tableOffset = place({});
    for (const Header& header : headers)
      for (uint32_t field : {header.name, header.type, header.flags, 0u, header.offset, header.size, header.link,
                             header.info, header.alignment, header.entrySize})
        kwlink::AppendU32(file, field);

    const uint8_t identification[] = {0x7F, 'E', 'L', 'F', 1, 1, 1};
    std::copy(std::begin(identification), std::end(identification), file.begin());
    kwlink::WriteU32(file, 16, 1 | 3 << 16);  // relocatable, i386
    kwlink::WriteU32(file, 20, 1);
    kwlink::WriteU32(file, ElfHeaderShoff, tableOffset);
    kwlink::WriteU32(file, 40, 52);
    kwlink::WriteU32(file, 44, static_cast<uint32_t>(40 << 16));  // no program headers; section header size
    kwlink::WriteU32(file, ElfHeaderShnum, static_cast<uint32_t>(headers.size() | (headers.size() - 1) << 16));
    return file;
  }

 private:
  struct SectionSpec {
    std::string name;
    uint32_t type, flags, alignment, size;
    std::vector<uint8_t> bytes;
    std::vector<Relocation> relocations;
  };
  struct SymbolSpec {
    std::string name;
    uint16_t section;
    uint32_t value;
    uint8_t binding, type;
    uint32_t size;
  };
  std::vector<SectionSpec> sections_;
  std::vector<SymbolSpec> symbols_;
};

}  // namespace kwtest
