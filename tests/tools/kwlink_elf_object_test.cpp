#include <gtest/gtest.h>

#include <functional>

#include "tests/tools/kwlink_test_support.h"

namespace kwtest {
namespace {

namespace elf = kwlink::elf;

// Sections of the object: 1 .text, 2 .data, 3 .rel.text, 4 .symtab, 5 .strtab, 6 .shstrtab.
constexpr uint32_t DataSection = 2, RelocationSection = 3, SymbolTable = 4, SectionNames = 6;
constexpr uint32_t NameField = 0, TypeField = 4, OffsetField = 16, SizeField = 20, LinkField = 24, InfoField = 28,
                   EntrySizeField = 36;

Bytes ValidObject() {
  StandardObject a({0xB8, 0, 0, 0, 0, 0xC3});
  a.elf.Relocate(a.text, 1, elf::RelocationAbsolute32, a.table);
  return a.elf.Build();
}

size_t SectionHeader(const Bytes& file, uint32_t index) { return kwlink::ReadU32(file, ElfHeaderShoff) + 40 * index; }

void SetSectionField(Bytes& file, uint32_t index, uint32_t field, uint32_t value) {
  kwlink::WriteU32(file, SectionHeader(file, index) + field, value);
}

size_t SectionContents(const Bytes& file, uint32_t index) {
  return kwlink::ReadU32(file, SectionHeader(file, index) + OffsetField);
}

void SetU16(Bytes& file, size_t at, uint16_t value) {
  file[at] = static_cast<uint8_t>(value);
  file[at + 1] = static_cast<uint8_t>(value >> 8);
}

std::string ReadFailure(const Bytes& file) {
  try {
    kwlink::ReadElfObject("x.o", file);
  } catch (const kwlink::LinkError& error) {
    return error.what();
  }
  return "read";
}

TEST(KwlinkElfObjectTest, ReadsSectionsSymbolsAndRelocations) {
  const kwlink::ElfObject object = kwlink::ReadElfObject("x.o", ValidObject());
  ASSERT_EQ(object.sections.size(), 7u);
  EXPECT_EQ(object.sections[1].name, ".text");
  EXPECT_EQ(object.sections[1].contents, (Bytes{0xB8, 0, 0, 0, 0, 0xC3}));
  EXPECT_EQ(object.sections[1].alignment, 16u);
  ASSERT_EQ(object.symbols.size(), 4u);
  EXPECT_EQ(object.symbols[2].name, "table");
  EXPECT_EQ(object.symbols[2].section, DataSection);
  ASSERT_EQ(object.relocationSections.size(), 1u);
  EXPECT_EQ(object.relocationSections[0].target, 1u);
  ASSERT_EQ(object.relocationSections[0].relocations.size(), 1u);
  EXPECT_EQ(object.relocationSections[0].relocations[0].offset, 1u);
  EXPECT_EQ(object.relocationSections[0].relocations[0].symbol, 2u);
}

TEST(KwlinkElfObjectTest, MalformedObjectsAreRejectedWithTheirFault) {
  const struct {
    std::function<void(Bytes&)> corrupt;
    std::string message;
  } cases[] = {
      {[](Bytes& f) { f.resize(51); }, "x.o: the ELF header lies outside the file"},
      {[](Bytes& f) { f[1] = 'e'; }, "x.o: is not an ELF file"},
      {[](Bytes& f) { f[4] = 2; }, "x.o: is not a 32-bit little-endian ELF file"},
      {[](Bytes& f) { SetU16(f, 16, 2); }, "x.o: is not a relocatable object"},
      {[](Bytes& f) { SetU16(f, 18, 62); }, "x.o: is not an i386 object"},
      {[](Bytes& f) { kwlink::WriteU32(f, ElfHeaderShoff, 0xFFFFFFF0); },
       "x.o: the section table lies outside the file"},
      {[](Bytes& f) { SetU16(f, ElfHeaderShnum, 0); },
       "x.o: has no section table (or uses extended section numbering)"},
      {[](Bytes& f) { SetU16(f, ElfHeaderShentsize, 64); }, "x.o: section header size is not 40"},
      {[](Bytes& f) { SetU16(f, ElfHeaderShstrndx, 1); }, "x.o: has no valid section name table"},
      {[](Bytes& f) { SetSectionField(f, 1, OffsetField, 0xFFFFFF00); }, "x.o: section .text lies outside the file"},
      {[](Bytes& f) { SetSectionField(f, 1, SizeField, 0x7FFFFFFF); }, "x.o: section .text lies outside the file"},
      {[](Bytes& f) { SetSectionField(f, DataSection, NameField, 0xFFFF); },
       "x.o: the name of section 2 lies outside its string table"},
      {[](Bytes& f) {
         SetSectionField(f, SectionNames, SizeField,
                         kwlink::ReadU32(f, SectionHeader(f, SectionNames) + SizeField) - 1);
       },
       "x.o: the name of section 6 is not terminated inside its string table"},
      {[](Bytes& f) { SetSectionField(f, DataSection, TypeField, elf::SectionSymbolTable); },
       "x.o: has more than one symbol table"},
      {[](Bytes& f) { SetSectionField(f, SymbolTable, EntrySizeField, 12); },
       "x.o: symbol table .symtab does not hold 16-byte entries"},
      {[](Bytes& f) { SetSectionField(f, SymbolTable, LinkField, 1); },
       "x.o: symbol table .symtab does not link to a string table"},
      {[](Bytes& f) { kwlink::WriteU32(f, SectionContents(f, SymbolTable) + 16, 0xFFFF); },
       "x.o: the name of symbol 1 lies outside its string table"},
      {[](Bytes& f) { SetU16(f, SectionContents(f, SymbolTable) + 16 + 14, 200); },
       "x.o: symbol 1 (kw_main) has an unsupported section index 200"},
      {[](Bytes& f) { SetU16(f, SectionContents(f, SymbolTable) + 16 + 14, 0xFFFF); },
       "x.o: symbol 1 (kw_main) has an unsupported section index 65535"},
      {[](Bytes& f) { kwlink::WriteU32(f, SectionContents(f, RelocationSection) + 4, 99 << 8 | 1); },
       "x.o: relocation section .rel.text, entry 0: symbol index 99 lies outside the symbol table"},
      {[](Bytes& f) { SetSectionField(f, RelocationSection, InfoField, 0); },
       "x.o: relocation section .rel.text applies to no valid section"},
      {[](Bytes& f) { SetSectionField(f, RelocationSection, InfoField, 50); },
       "x.o: relocation section .rel.text applies to no valid section"},
      {[](Bytes& f) { SetSectionField(f, RelocationSection, LinkField, 5); },
       "x.o: relocation section .rel.text does not link to the symbol table"},
      {[](Bytes& f) { SetSectionField(f, RelocationSection, TypeField, elf::SectionRelocationsWithAddends); },
       "x.o: relocation section .rel.text has explicit addends, which i386 objects do not use"},
      {[](Bytes& f) { SetSectionField(f, RelocationSection, EntrySizeField, 12); },
       "x.o: relocation section .rel.text does not hold 8-byte entries"},
  };
  ASSERT_EQ(ReadFailure(ValidObject()), "read");
  for (const auto& c : cases) {
    Bytes file = ValidObject();
    c.corrupt(file);
    EXPECT_EQ(ReadFailure(file), c.message);
  }
}

TEST(KwlinkElfObjectTest, EveryTruncationIsRejected) {
  const Bytes file = ValidObject();
  for (size_t size = 0; size < file.size(); size++)
    EXPECT_NE(ReadFailure(Bytes(file.begin(), file.begin() + static_cast<long>(size))), "read") << size;
}

TEST(KwlinkElfObjectTest, EveryCorruptedByteIsRejectedOrLinkedWithoutHarm) {
  const Bytes file = ValidObject();
  for (size_t at = 0; at < file.size(); at++) {
    for (uint8_t change : {0x01, 0x80, 0xFF}) {
      Bytes corrupted = file;
      corrupted[at] ^= change;
      EXPECT_FALSE(LinkFailure({corrupted}).empty()) << at;  // either outcome; the sanitizers watch the reads
    }
  }
}

}  // namespace
}  // namespace kwtest
