// Reader of ELF32 little-endian i386 relocatable objects. It checks every header, table,
// string and index against the file and keeps what the linker needs; the meaning of sections,
// symbols and relocations is the linker's business.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace kwlink {

namespace elf {
inline constexpr uint32_t SectionProgramBits = 1;
inline constexpr uint32_t SectionSymbolTable = 2;
inline constexpr uint32_t SectionStringTable = 3;
inline constexpr uint32_t SectionRelocationsWithAddends = 4;
inline constexpr uint32_t SectionNoBits = 8;
inline constexpr uint32_t SectionRelocations = 9;

inline constexpr uint32_t FlagAllocated = 0x2;
inline constexpr uint32_t FlagExecutable = 0x4;
inline constexpr uint32_t FlagThreadLocal = 0x400;

inline constexpr uint16_t UndefinedSection = 0;
inline constexpr uint16_t AbsoluteSection = 0xFFF1;
inline constexpr uint16_t CommonSection = 0xFFF2;

inline constexpr uint8_t BindingLocal = 0;
inline constexpr uint8_t BindingGlobal = 1;
inline constexpr uint8_t BindingWeak = 2;
inline constexpr uint8_t TypeSection = 3;

inline constexpr uint8_t RelocationNone = 0;
inline constexpr uint8_t RelocationAbsolute32 = 1;
inline constexpr uint8_t RelocationPcRelative32 = 2;
inline constexpr uint8_t RelocationPlt32 = 4;
}  // namespace elf

struct ElfSection {
  std::string name;
  uint32_t type = 0;
  uint32_t flags = 0;
  uint32_t alignment = 0;
  uint32_t size = 0;
  std::vector<uint8_t> contents;  // size bytes, or none for a section without contents
};

struct ElfSymbol {
  std::string name;
  uint32_t value = 0;  // offset in its section; the alignment of a common symbol
  uint32_t size = 0;
  uint8_t binding = 0;
  uint8_t type = 0;
  uint16_t section = 0;  // a valid section index, or one of the undefined/absolute/common indices
};

struct ElfRelocation {
  uint32_t offset = 0;
  uint8_t type = 0;
  uint32_t symbol = 0;  // a valid index into the symbols
};

struct ElfRelocationSection {
  uint32_t target = 0;  // the section whose bytes the relocations patch
  std::vector<ElfRelocation> relocations;
};

struct ElfObject {
  std::string path;
  std::vector<ElfSection> sections;  // by section index; index 0 is the null section
  std::vector<ElfSymbol> symbols;    // by symbol index; index 0 is the null symbol
  std::vector<ElfRelocationSection> relocationSections;
};

// Reads an object from its bytes; path names it in messages. Throws LinkError.
ElfObject ReadElfObject(const std::string& path, std::span<const uint8_t> bytes);

}  // namespace kwlink
