#include <gtest/gtest.h>

#include <functional>

#include "tests/tools/kwlink_test_support.h"
#include "tools/kwlink/image_streams.h"

namespace kwtest {
namespace {

using kwlink::Base;
using kwlink::DataRelocation;
namespace elf = kwlink::elf;

TEST(KwlinkLinkTest, ChainsEveryCallSiteOfANameAcrossObjectsAndWritesOneRecordPerName) {
  ElfBuilder a;
  const uint32_t text = a.Section(".text", CodeFlags, Concat({CallBytes, CallBytes, CallBytes}), 16);
  a.Symbol("kw_main", static_cast<uint16_t>(text));
  const uint32_t init = a.Symbol("RuntimeInit", elf::UndefinedSection);
  const uint32_t messageBox = a.Symbol("KWX$user32$MessageBoxA", elf::UndefinedSection);
  a.Relocate(text, 1, elf::RelocationPcRelative32, init);
  a.Relocate(text, 6, elf::RelocationPlt32, messageBox);
  a.Relocate(text, 11, elf::RelocationPcRelative32, init);
  ElfBuilder b;
  const uint32_t textB = b.Section(".text", CodeFlags, Concat({{0x90}, CallBytes, {0xC3}}), 16);
  b.Relocate(textB, 2, elf::RelocationPcRelative32, b.Symbol("KWX$user32$MessageBoxA", elf::UndefinedSection));

  const kwlink::LinkedImage image = Link({a.Build(), b.Build()});

  // a's 15 bytes, one byte of padding to b's alignment of 16, then b.
  EXPECT_EQ(image.code, Concat({{0xE8},
                                Word(11),
                                {0xE8},
                                Word(0x12),
                                {0xE8},
                                Word(0),
                                {0xCC},  //
                                {0x90, 0xE8},
                                Word(0),
                                {0xC3}}));
  EXPECT_EQ(image.chains, (std::vector<kwlink::CallChain>{{"RuntimeInit", 1}, {"!Xuser32!MessageBoxA", 6}}));
  const std::string expectedStream = std::string("\x01\x01\0\0\0\x0B", 6) + "RuntimeInit" +
                                     std::string("\x01\x06\0\0\0\x14", 6) + "!Xuser32!MessageBoxA";
  const Bytes stream = kwlink::EncodeCodeFixups(image.chains, image.dataReferences);
  EXPECT_EQ(std::string(stream.begin(), stream.end()), expectedStream);
}

TEST(KwlinkLinkTest, ResolvesCodeToCodeReferencesInsideTheCodeBlock) {
  ElfBuilder a;
  // call helper (in b.o); jmp to .text.unlikely + 2 through the section symbol (addend 2 - 4).
  const uint32_t text = a.Section(".text", CodeFlags, Concat({CallBytes, {0xE9}, Word(static_cast<uint32_t>(-2))}), 16);
  const uint32_t cold = a.Section(".text.unlikely", CodeFlags, {0x90, 0x90, 0xC3}, 1);
  a.Symbol("kw_main", static_cast<uint16_t>(text));
  a.Relocate(text, 1, elf::RelocationPcRelative32, a.Symbol("helper", elf::UndefinedSection));
  a.Relocate(text, 6, elf::RelocationPcRelative32, a.SectionSymbol(cold));
  ElfBuilder b;
  b.Symbol("helper", static_cast<uint16_t>(b.Section(".text", CodeFlags, {0xC3}, 16)));

  const kwlink::LinkedImage image = Link({a.Build(), b.Build()});

  // .text.unlikely follows at 10, b's .text at 16: call 16 from 5, jump to 12 from 10.
  ASSERT_EQ(image.code.size(), 17u);
  EXPECT_EQ(kwlink::ReadU32(image.code, 1), 11u);
  EXPECT_EQ(kwlink::ReadU32(image.code, 6), 2u);
  EXPECT_TRUE(image.chains.empty());
  EXPECT_TRUE(image.dataReferences.empty());
}

TEST(KwlinkLinkTest, DataAddressesInCodeAndAddressesInDataAreRelocatedAgainstTheirBlocks) {
  StandardObject a({0xB8, 4, 0, 0, 0, 0xC3}, Concat({Word(2), Word(0), Word(7), Word(0)}));
  const uint32_t rodata = a.elf.Section(".rodata", ReadOnlyFlags, Concat({Word(1), Word(2)}), 16);
  const uint32_t list = a.elf.Symbol("list", static_cast<uint16_t>(rodata));
  a.elf.Symbol("kw_project", static_cast<uint16_t>(a.data));
  a.elf.Relocate(a.text, 1, elf::RelocationAbsolute32, list);      // mov eax, list + 4
  a.elf.Relocate(a.data, 0, elf::RelocationAbsolute32, a.kwMain);  // kw_main + 2
  a.elf.Relocate(a.data, 4, elf::RelocationAbsolute32, a.elf.SectionSymbol(rodata));

  const kwlink::LinkedImage image = Link({a.elf.Build()});

  // Header, .data at 8, .rodata at its alignment of 16.
  EXPECT_EQ(image.code, Concat({{0xB8}, Word(36), {0xC3}}));
  EXPECT_EQ(image.dataReferences, std::vector<uint32_t>{1});
  EXPECT_EQ(image.data, Concat({Word(0), Word(8), Word(2), Word(32), Word(7), Word(0), Bytes(8, 0), Word(1), Word(2)}));
  EXPECT_EQ(image.dataRelocations,
            (std::vector<DataRelocation>{{0, Base::Code}, {4, Base::Data}, {8, Base::Code}, {12, Base::Data}}));
  EXPECT_EQ(kwlink::EncodeDataRelocations(image.dataRelocations, 40),
            Concat({{0x00, 0x40}, {0x00, 0x42}, {0x00, 0x40}, {0x00, 0x42}, {0x17, 0x80}}));
}

TEST(KwlinkLinkTest, HeaderNamesTheChosenEntryAndZeroWithoutProjectTable) {
  StandardObject a({0x90, 0xC3});
  a.elf.Symbol("start", static_cast<uint16_t>(a.text), 1);
  const kwlink::LinkedImage image = Link({a.elf.Build()}, {.entrySymbol = "start", .projectSymbol = "kw_project"});
  EXPECT_EQ(Bytes(image.data.begin(), image.data.begin() + 8), Concat({Word(1), Word(0)}));
  EXPECT_EQ(image.dataRelocations, (std::vector<DataRelocation>{{0, Base::Code}}));
}

TEST(KwlinkLinkTest, ZeroFilledSectionsAndMergedCommonSymbolsTakeTheirPlaceAndDroppedSectionsDoNot) {
  StandardObject a({0xC3}, Word(0));
  a.elf.Bss(".bss", 12, 8);
  const uint32_t ehFrame = a.elf.Section(".eh_frame", ReadOnlyFlags, Bytes(8, 0xEE));
  const uint32_t debug = a.elf.Section(".debug_info", 0, Bytes(8, 0xDD));
  a.elf.Section(".comment", 0, {'g', 'c', 'c', 0});
  a.elf.Section(".note.GNU-stack", 0, {});
  const uint32_t buffer = a.elf.Symbol("buffer", elf::CommonSection, 8, elf::BindingGlobal, 1, 6);
  a.elf.Relocate(a.data, 0, elf::RelocationAbsolute32, buffer);
  a.elf.Relocate(ehFrame, 0, elf::RelocationPcRelative32, a.kwMain);  // rejected if it were linked
  a.elf.Relocate(debug, 0, elf::RelocationAbsolute32, a.service);     // likewise
  a.elf.Relocate(a.data, 0, elf::RelocationNone, a.service);          // ignored
  ElfBuilder b;
  b.Symbol("buffer", elf::CommonSection, 4, elf::BindingGlobal, 1, 10);

  const kwlink::LinkedImage image = Link({a.elf.Build(), b.Build()});

  // .data at 8, .bss at 16 (12 bytes), buffer at 32 (alignment 8 of a, size 10 of b).
  EXPECT_EQ(image.data, Concat({Word(0), Word(0), Word(32), Bytes(20, 0), Bytes(10, 0)}));
  EXPECT_EQ(image.dataRelocations, (std::vector<DataRelocation>{{0, Base::Code}, {8, Base::Data}}));
  EXPECT_EQ(image.code, Bytes{0xC3});
}

TEST(KwlinkLinkTest, ExternalNamesMapBindingSymbolsAndLeaveServiceNames) {
  struct Case {
    std::string symbol;
    std::string name;  // empty when rejected
  };
  const Case cases[] = {
      {"RuntimeInit", "RuntimeInit"},
      {"KWX$user32$MessageBoxA", "!Xuser32!MessageBoxA"},
      {"KWM$MyClass$Method", "!MMyClass!Method"},
      {"KWM$$GlobalMethod", "!M!GlobalMethod"},
      {"KWG$Class$Width", "!GClass!Width"},
      {"KWX$$routine", "!X!routine"},
      {"KW1$x", "KW1$x"},
      {"KWX$user32", ""},
      {"!Xuser32!MessageBoxA", ""},
      {std::string(255, 'a'), std::string(255, 'a')},
      {std::string(256, 'a'), ""},
      {"KWX$a$" + std::string(252, 'r'), ""},
  };
  for (const Case& c : cases) {
    std::string why;
    EXPECT_EQ(kwlink::ExternalName(c.symbol, why), c.name) << c.symbol;
    EXPECT_EQ(why.empty(), !c.name.empty()) << c.symbol;
  }
}

// Each case links one object that kwlink must reject, with the whole message.
struct Rejection {
  const char* fault;
  std::function<std::vector<Bytes>()> objects;
  std::string message;
};

class KwlinkRejectionTest : public testing::TestWithParam<Rejection> {};

TEST_P(KwlinkRejectionTest, FailsWithAMessageNamingTheObjectSectionSymbolAndOffset) {
  EXPECT_EQ(LinkFailure(GetParam().objects()), GetParam().message);
}

std::vector<Bytes> CodeRelocation(Bytes code, uint32_t offset, uint8_t type, uint32_t StandardObject::*symbol) {
  StandardObject a(std::move(code));
  a.elf.Relocate(a.text, offset, type, a.*symbol);
  return {a.elf.Build()};
}

std::vector<Bytes> DataRelocationTo(uint8_t type, uint32_t StandardObject::*symbol, uint32_t offset = 4) {
  StandardObject a;
  a.elf.Relocate(a.data, offset, type, a.*symbol);
  return {a.elf.Build()};
}

const Bytes MovImmediate = {0xB8, 0, 0, 0, 0};
const std::string At = "a.o: section .text, offset 0x1, symbol ";

INSTANTIATE_TEST_SUITE_P(
    Faults, KwlinkRejectionTest,
    testing::Values(
        Rejection{
            "CallSiteWithoutE8",
            [] {
              return CodeRelocation({0xE9, 0xFC, 0xFF, 0xFF, 0xFF}, 1, elf::RelocationPlt32, &StandardObject::service);
            },
            At + "RuntimeInit: an undefined symbol can only be called by a near call (E8)"},
        Rejection{
            "CallSiteAtTheStartOfItsSection",
            [] { return CodeRelocation(Word(0xFFFFFFFC), 0, elf::RelocationPcRelative32, &StandardObject::service); },
            "a.o: section .text, offset 0x0, symbol RuntimeInit: an undefined symbol can only be called by a "
            "near call (E8)"},
        Rejection{"CallSiteWithAnotherAddend",
                  [] {
                    return CodeRelocation({0xE8, 0, 0, 0, 0}, 1, elf::RelocationPcRelative32, &StandardObject::service);
                  },
                  At + "RuntimeInit: call operand has addend 0x0 instead of -4"},
        Rejection{"PcRelativeReferenceFromCodeToData",
                  [] { return CodeRelocation(CallBytes, 1, elf::RelocationPcRelative32, &StandardObject::table); },
                  At + "table: PC-relative reference to data (code and data are loaded apart)"},
        Rejection{"AbsoluteCodeAddressInCode",
                  [] { return CodeRelocation(MovImmediate, 1, elf::RelocationAbsolute32, &StandardObject::kwMain); },
                  At + "kw_main: absolute code address inside code (only data addresses are relocated)"},
        Rejection{"AddressOfAnUndefinedSymbolInCode",
                  [] { return CodeRelocation(MovImmediate, 1, elf::RelocationAbsolute32, &StandardObject::service); },
                  At + "RuntimeInit: address of an undefined symbol (only calls are linked by name)"},
        Rejection{"UnsupportedRelocationType",
                  [] { return CodeRelocation(MovImmediate, 1, 3 /* R_386_GOT32 */, &StandardObject::table); },
                  At + "table: unsupported relocation type 3"},
        Rejection{"FieldOutsideItsSection",
                  [] { return CodeRelocation(MovImmediate, 2, elf::RelocationAbsolute32, &StandardObject::table); },
                  "a.o: section .text, offset 0x2, symbol table: relocation field lies outside its section"},
        Rejection{"PcRelativeRelocationInData",
                  [] { return DataRelocationTo(elf::RelocationPcRelative32, &StandardObject::kwMain); },
                  "a.o: section .data, offset 0x4, symbol kw_main: PC-relative relocation in data"},
        Rejection{"UndefinedSymbolInData",
                  [] { return DataRelocationTo(elf::RelocationAbsolute32, &StandardObject::service); },
                  "a.o: section .data, offset 0x4, symbol RuntimeInit: data refers to an undefined symbol"},
        Rejection{"OverlappingRelocations",
                  [] {
                    StandardObject a;
                    a.elf.Relocate(a.data, 0, elf::RelocationAbsolute32, a.table);
                    a.elf.Relocate(a.data, 2, elf::RelocationAbsolute32, a.kwMain);
                    return std::vector<Bytes>{a.elf.Build()};
                  },
                  "a.o: section .data, offset 0x2, symbol kw_main: relocation overlaps the one of a.o: section "
                  ".data, offset 0x0, symbol table"},
        Rejection{"NameLongerThan255Bytes",
                  [] {
                    StandardObject a(CallBytes);
                    a.elf.Relocate(a.text, 1, elf::RelocationPcRelative32,
                                   a.elf.Symbol(std::string(256, 'n'), elf::UndefinedSection));
                    return std::vector<Bytes>{a.elf.Build()};
                  },
                  At + std::string(256, 'n') + ": the name is longer than 255 bytes"},
        Rejection{"LibraryRoutineWithoutLibrary",
                  [] {
                    StandardObject a(CallBytes);
                    a.elf.Relocate(a.text, 1, elf::RelocationPcRelative32,
                                   a.elf.Symbol("KWX$MessageBoxA", elf::UndefinedSection));
                    return std::vector<Bytes>{a.elf.Build()};
                  },
                  At + "KWX$MessageBoxA: a library routine is named KWX$library$routine"},
        Rejection{"ReferenceIntoADroppedSection",
                  [] {
                    StandardObject a(MovImmediate);
                    const uint32_t frame = a.elf.Section(".eh_frame", ReadOnlyFlags, Bytes(8, 0));
                    a.elf.Relocate(a.text, 1, elf::RelocationAbsolute32, a.elf.SectionSymbol(frame));
                    return std::vector<Bytes>{a.elf.Build()};
                  },
                  At + ".eh_frame: refers to a section that is not part of the image"},
        Rejection{"PcRelativeReferenceToAnAbsoluteSymbol",
                  [] {
                    StandardObject a(CallBytes);
                    a.elf.Relocate(a.text, 1, elf::RelocationPcRelative32,
                                   a.elf.Symbol("fixed", elf::AbsoluteSection, 64));
                    return std::vector<Bytes>{a.elf.Build()};
                  },
                  At + "fixed: PC-relative reference to an absolute symbol"},
        Rejection{"SymbolDefinedTwice",
                  [] {
                    return std::vector<Bytes>{StandardObject().elf.Build(), StandardObject().elf.Build()};
                  },
                  "b.o: symbol kw_main is also defined in a.o"},
        Rejection{"NoEntryRoutine", [] { return std::vector<Bytes>{ElfBuilder().Build()}; },
                  "entry routine kw_main is not defined by any object"},
        Rejection{"EntryRoutineInData",
                  [] {
                    ElfBuilder a;
                    a.Symbol("kw_main", static_cast<uint16_t>(a.Section(".data", DataFlags, Word(0))));
                    return std::vector<Bytes>{a.Build()};
                  },
                  "entry routine kw_main is not code"},
        Rejection{"ProjectTableInCode",
                  [] {
                    StandardObject a;
                    a.elf.Symbol("kw_project", static_cast<uint16_t>(a.text));
                    return std::vector<Bytes>{a.elf.Build()};
                  },
                  "project table kw_project is not data"},
        Rejection{"AlignmentAbove16",
                  [] {
                    StandardObject a;
                    a.elf.Section(".rodata.cst32", ReadOnlyFlags, Bytes(32, 0), 32);
                    return std::vector<Bytes>{a.elf.Build()};
                  },
                  "a.o: section .rodata.cst32: alignment 32 is not a power of two up to 16"},
        Rejection{"ThreadLocalData",
                  [] {
                    StandardObject a;
                    a.elf.Section(".tdata", DataFlags | elf::FlagThreadLocal, Word(0));
                    return std::vector<Bytes>{a.elf.Build()};
                  },
                  "a.o: section .tdata: thread-local data is not supported"},
        Rejection{"ConstructorTable",
                  [] {
                    StandardObject a;
                    a.elf.Section(".init_array", DataFlags, Word(0), 4, 14 /* SHT_INIT_ARRAY */);
                    return std::vector<Bytes>{a.elf.Build()};
                  },
                  "a.o: section .init_array: allocated section of unsupported type 14"}),
    [](const testing::TestParamInfo<Rejection>& info) { return info.param.fault; });

}  // namespace
}  // namespace kwtest
