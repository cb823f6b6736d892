#include "tools/kwlink/elf_object.h"

#include <cstring>

#include "tools/kwlink/byte_order.h"
#include "tools/kwlink/link_error.h"

namespace kwlink {
namespace {

constexpr size_t FileHeaderSize = 52;
constexpr size_t SectionHeaderSize = 40;
constexpr size_t SymbolSize = 16;
constexpr size_t RelocationSize = 8;
constexpr uint16_t RelocatableObject = 1;
constexpr uint16_t MachineI386 = 3;
constexpr uint16_t FirstReservedSection = 0xFF00;

struct SectionHeader {
  uint32_t name, type, flags, offset, size, link, info, alignment, entrySize;
};

class Reader {
 public:
  Reader(const std::string& path, std::span<const uint8_t> bytes) : path_(path), bytes_(bytes) {}

  [[noreturn]] void Fail(const std::string& what) const { throw LinkError(path_ + ": " + what); }

  // Bytes [offset, offset + size) of the file; fails unless they all lie inside it.
  std::span<const uint8_t> Range(uint64_t offset, uint64_t size, const std::string& what) const {
    if (offset > bytes_.size() || size > bytes_.size() - offset) Fail(what + " lies outside the file");
    return bytes_.subspan(offset, size);
  }

  std::span<const uint8_t> Contents(const SectionHeader& section, const std::string& what) const {
    return Range(section.offset, section.size, what);
  }

  // The NUL-terminated string at index of a string table.
  std::string StringAt(std::span<const uint8_t> table, uint32_t index, const std::string& what) const {
    if (index >= table.size()) Fail(what + " lies outside its string table");
    const auto* start = table.data() + index;
    const auto* end = static_cast<const uint8_t*>(memchr(start, 0, table.size() - index));
    if (!end) Fail(what + " is not terminated inside its string table");
    return std::string(reinterpret_cast<const char*>(start), end - start);
  }

 private:
  const std::string& path_;
  std::span<const uint8_t> bytes_;
};

SectionHeader ParseSectionHeader(std::span<const uint8_t> entry) {
  return {ReadU32(entry, 0),  ReadU32(entry, 4),  ReadU32(entry, 8),  ReadU32(entry, 16), ReadU32(entry, 20),
          ReadU32(entry, 24), ReadU32(entry, 28), ReadU32(entry, 32), ReadU32(entry, 36)};
}

std::vector<SectionHeader> ReadSectionHeaders(const Reader& reader, std::span<const uint8_t> fileHeader) {
  const uint32_t tableOffset = ReadU32(fileHeader, 32);
  const uint16_t entrySize = ReadU16(fileHeader, 46);
  const uint16_t count = ReadU16(fileHeader, 48);
  if (count == 0) reader.Fail("has no section table (or uses extended section numbering)");
  if (entrySize != SectionHeaderSize) reader.Fail("section header size is not 40");
  auto table = reader.Range(tableOffset, uint64_t{count} * SectionHeaderSize, "the section table");
  std::vector<SectionHeader> headers;
  for (size_t i = 0; i < count; i++) headers.push_back(ParseSectionHeader(table.subspan(i * SectionHeaderSize)));
  return headers;
}

void ReadSymbols(const Reader& reader, const std::vector<SectionHeader>& headers, uint32_t symbolTable,
                 ElfObject& object) {
  const SectionHeader& table = headers[symbolTable];
  const std::string& tableName = object.sections[symbolTable].name;
  if (table.entrySize != SymbolSize || table.size % SymbolSize != 0)
    reader.Fail("symbol table " + tableName + " does not hold 16-byte entries");
  if (table.link >= headers.size() || headers[table.link].type != elf::SectionStringTable)
    reader.Fail("symbol table " + tableName + " does not link to a string table");
  auto strings = reader.Contents(headers[table.link], "the symbol names");
  auto entries = reader.Contents(table, "symbol table " + tableName);
  for (size_t at = 0; at < entries.size(); at += SymbolSize) {
    const std::string where = "symbol " + std::to_string(at / SymbolSize);
    ElfSymbol symbol;
    symbol.name = reader.StringAt(strings, ReadU32(entries, at), "the name of " + where);
    symbol.value = ReadU32(entries, at + 4);
    symbol.size = ReadU32(entries, at + 8);
    symbol.binding = entries[at + 12] >> 4;
    symbol.type = entries[at + 12] & 0xF;
    symbol.section = ReadU16(entries, at + 14);
    const bool special = symbol.section >= FirstReservedSection;
    if (special ? symbol.section != elf::AbsoluteSection && symbol.section != elf::CommonSection
                : symbol.section >= headers.size())
      reader.Fail(where + " (" + symbol.name + ") has an unsupported section index " + std::to_string(symbol.section));
    object.symbols.push_back(std::move(symbol));
  }
}

void ReadRelocations(const Reader& reader, const std::vector<SectionHeader>& headers, uint32_t index, int symbolTable,
                     ElfObject& object) {
  const SectionHeader& header = headers[index];
  const std::string& name = object.sections[index].name;
  if (header.type == elf::SectionRelocationsWithAddends)
    reader.Fail("relocation section " + name + " has explicit addends, which i386 objects do not use");
  if (symbolTable < 0 || header.link != static_cast<uint32_t>(symbolTable))
    reader.Fail("relocation section " + name + " does not link to the symbol table");
  if (header.info == 0 || header.info >= headers.size())
    reader.Fail("relocation section " + name + " applies to no valid section");
  if (header.entrySize != RelocationSize || header.size % RelocationSize != 0)
    reader.Fail("relocation section " + name + " does not hold 8-byte entries");
  ElfRelocationSection section{header.info, {}};
  auto entries = reader.Contents(header, "relocation section " + name);
  for (size_t at = 0; at < entries.size(); at += RelocationSize) {
    const uint32_t info = ReadU32(entries, at + 4);
    ElfRelocation relocation{ReadU32(entries, at), static_cast<uint8_t>(info & 0xFF), info >> 8};
    if (relocation.symbol >= object.symbols.size())
      reader.Fail("relocation section " + name + ", entry " + std::to_string(at / RelocationSize) + ": symbol index " +
                  std::to_string(relocation.symbol) + " lies outside the symbol table");
    section.relocations.push_back(relocation);
  }
  object.relocationSections.push_back(std::move(section));
}

}  // namespace

ElfObject ReadElfObject(const std::string& path, std::span<const uint8_t> bytes) {
  Reader reader(path, bytes);
  auto fileHeader = reader.Range(0, FileHeaderSize, "the ELF header");
  if (memcmp(fileHeader.data(),
             "\x7F"
             "ELF",
             4) != 0)
    reader.Fail("is not an ELF file");
  if (fileHeader[4] != 1 || fileHeader[5] != 1) reader.Fail("is not a 32-bit little-endian ELF file");
  if (ReadU16(fileHeader, 16) != RelocatableObject) reader.Fail("is not a relocatable object");
  if (ReadU16(fileHeader, 18) != MachineI386) reader.Fail("is not an i386 object");

  const std::vector<SectionHeader> headers = ReadSectionHeaders(reader, fileHeader);
  const uint16_t namesIndex = ReadU16(fileHeader, 50);
  if (namesIndex >= headers.size() || headers[namesIndex].type != elf::SectionStringTable)
    reader.Fail("has no valid section name table");
  auto names = reader.Contents(headers[namesIndex], "the section name table");

  ElfObject object;
  object.path = path;
  int symbolTable = -1;
  for (size_t index = 0; index < headers.size(); index++) {
    const SectionHeader& header = headers[index];
    ElfSection section;
    section.name = reader.StringAt(names, header.name, "the name of section " + std::to_string(index));
    section.type = header.type;
    section.flags = header.flags;
    section.alignment = header.alignment;
    section.size = header.size;
    if (header.type != elf::SectionNoBits && index != 0) {
      auto contents = reader.Contents(header, "section " + section.name);
      section.contents.assign(contents.begin(), contents.end());
    }
    if (header.type == elf::SectionSymbolTable) {
      if (symbolTable >= 0) reader.Fail("has more than one symbol table");
      symbolTable = static_cast<int>(index);
    }
    object.sections.push_back(std::move(section));
  }
  if (symbolTable >= 0) ReadSymbols(reader, headers, symbolTable, object);
  for (size_t index = 0; index < headers.size(); index++) {
    const uint32_t type = headers[index].type;
    if (type == elf::SectionRelocations || type == elf::SectionRelocationsWithAddends)
      ReadRelocations(reader, headers, index, symbolTable, object);
  }
  return object;
}

}  // namespace kwlink
