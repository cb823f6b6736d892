#include "platform/kernel/pe_image.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "platform/kernel/pe_format.h"

namespace {

using kwplatform::PeError;
using kwplatform::PeExport;
using kwplatform::PeImageInfo;

std::vector<uint8_t> ReadTestDll(const char* name) {
  std::ifstream file(std::string(KW_TEST_DLL_FOLDER) + "/" + name, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

uint32_t Get32(const std::vector<uint8_t>& bytes, uint64_t offset) {
  uint32_t value;
  memcpy(&value, bytes.data() + offset, 4);
  return value;
}

void Put32(std::vector<uint8_t>& bytes, uint64_t offset, uint32_t value) { memcpy(bytes.data() + offset, &value, 4); }

void Put16(std::vector<uint8_t>& bytes, uint64_t offset, uint16_t value) { memcpy(bytes.data() + offset, &value, 2); }

// Offsets of the headers of a PE file.
struct HeaderOffsets {
  uint32_t fileHeader, optionalHeader, sectionTable;

  explicit HeaderOffsets(const std::vector<uint8_t>& file) {
    fileHeader = Get32(file, kwplatform::pe::DosNewHeaderOffsetField) + 4;
    optionalHeader = fileHeader + sizeof(kwplatform::pe::FileHeader);
    uint16_t optionalSize;
    memcpy(&optionalSize, file.data() + fileHeader + 16, 2);
    sectionTable = optionalHeader + optionalSize;
  }
  uint32_t Directory(uint32_t index) const { return optionalHeader + 96 + index * 8; }
};

class PeImageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    file = ReadTestDll("test_library.dll");
    ASSERT_FALSE(file.empty()) << "test_library.dll is built with the tests";
    ASSERT_EQ(kwplatform::ReadPeHeaders(file, info), PeError::None);
    image.assign(info.sizeOfImage, 0);
    kwplatform::LayOutPeImage(file, info, image);
  }

  uint32_t ExportRva(const char* name) {
    PeExport found = kwplatform::FindPeExportByName(info, image, name);
    EXPECT_EQ(found.kind, PeExport::Kind::Code) << name;
    return found.rva;
  }

  std::vector<uint8_t> file;
  PeImageInfo info;
  std::vector<uint8_t> image;
};

TEST_F(PeImageTest, DescribesTheImageOfARealDll) {
  EXPECT_EQ(info.imageBase, 0x08048000u);
  EXPECT_GE(info.sections.size(), 4u);
  EXPECT_NE(info.entryPointRva, 0u);
  for (const kwplatform::PeDirectory& directory : {info.exports, info.imports, info.relocations, info.tls}) {
    EXPECT_NE(directory.rva, 0u);
    EXPECT_LE(uint64_t{directory.rva} + directory.size, info.sizeOfImage);
  }
  EXPECT_EQ(memcmp(image.data(), "MZ", 2), 0) << "headers are part of the image";
}

TEST_F(PeImageTest, RelocationMovesEveryInitialisedPointer) {
  uint32_t greetingSlot = ExportRva("Greeting"), pointersSlot = ExportRva("NumberPointers");
  uint32_t greeting = Get32(image, greetingSlot) - info.imageBase;
  EXPECT_STREQ(reinterpret_cast<const char*>(image.data() + greeting), "Hello from the library");
  uint32_t numbers[3];
  for (int index = 0; index < 3; index++) numbers[index] = Get32(image, pointersSlot + 4 * index) - info.imageBase;

  const uint32_t newBase = 0x20000000;
  ASSERT_EQ(kwplatform::RelocatePeImage(info, image, newBase), PeError::None);
  EXPECT_EQ(Get32(image, greetingSlot), newBase + greeting);
  for (int index = 0; index < 3; index++) EXPECT_EQ(Get32(image, pointersSlot + 4 * index), newBase + numbers[index]);
  EXPECT_EQ(Get32(image, numbers[1]), 20u);
}

TEST_F(PeImageTest, ReadsImportsByNameAndByOrdinal) {
  std::vector<kwplatform::PeImportedLibrary> libraries;
  ASSERT_EQ(kwplatform::ReadPeImports(info, image, libraries), PeError::None);
  std::vector<std::string> found;
  for (const auto& library : libraries) {
    for (const auto& import : library.imports) {
      EXPECT_LE(import.slotRva + 4, info.sizeOfImage);
      found.push_back(library.name + "!" + (import.name.empty() ? "#" + std::to_string(import.ordinal) : import.name));
    }
  }
  std::sort(found.begin(), found.end());
  EXPECT_EQ(found, (std::vector<std::string>{"KERNEL32.dll!lstrlenA", "USER32.dll!MessageBoxA", "test_helper.dll!#5"}));
}

TEST_F(PeImageTest, FindsExportsByNameAndOrdinalAndReportsForwarders) {
  struct Case {
    const char* name;  // null: look up the ordinal
    uint32_t ordinal;
    PeExport::Kind kind;
    const char* forwarder;
  };
  const Case cases[] = {
      {"StdcallSum", 0, PeExport::Kind::Code, ""},
      {"CdeclSum", 0, PeExport::Kind::Code, ""},
      {nullptr, 7, PeExport::Kind::Code, ""},
      {"OrdinalOnly", 0, PeExport::Kind::Missing, ""},
      {"ForwardedLength", 0, PeExport::Kind::Forwarder, "kernel32.lstrlenA"},
      {"ForwardedTwice", 0, PeExport::Kind::Forwarder, "test_helper.#5"},
      {"stdcallsum", 0, PeExport::Kind::Missing, ""},
      {"", 0, PeExport::Kind::Missing, ""},
      {nullptr, 0, PeExport::Kind::Missing, ""},
      {nullptr, 1000, PeExport::Kind::Missing, ""},
  };
  for (const Case& c : cases) {
    PeExport found = c.name ? kwplatform::FindPeExportByName(info, image, c.name)
                            : kwplatform::FindPeExportByOrdinal(info, image, c.ordinal);
    SCOPED_TRACE(c.name ? c.name : std::to_string(c.ordinal));
    EXPECT_EQ(found.kind, c.kind);
    EXPECT_EQ(found.forwarder, c.forwarder);
    if (c.kind == PeExport::Kind::Code) {
      EXPECT_LT(found.rva, info.sizeOfImage);
    }
  }
}

TEST(PeForwarderTest, SplitsLibraryFromRoutineOrOrdinal) {
  struct Case {
    const char* text;
    bool valid;
    const char* library;
    const char* routine;
    uint16_t ordinal;
  };
  const Case cases[] = {
      {"kernel32.lstrlenA", true, "kernel32", "lstrlenA", 0},
      {"test_helper.#5", true, "test_helper", "", 5},
      {"api.set.Routine", true, "api.set", "Routine", 0},
      {"lib.#65535", true, "lib", "", 65535},
      {"noDot", false, "", "", 0},
      {".Routine", false, "", "", 0},
      {"lib.", false, "", "", 0},
      {"lib.#", false, "", "", 0},
      {"lib.#0", false, "", "", 0},
      {"lib.#65536", false, "", "", 0},
      {"lib.#5a", false, "", "", 0},
  };
  for (const Case& c : cases) {
    std::string library, routine;
    uint16_t ordinal = 99;
    ASSERT_EQ(kwplatform::SplitPeForwarder(c.text, library, routine, ordinal), c.valid) << c.text;
    if (!c.valid) continue;
    EXPECT_EQ(library, c.library);
    EXPECT_EQ(routine, c.routine);
    EXPECT_EQ(ordinal, c.ordinal);
  }
}

TEST_F(PeImageTest, ReadsTlsCallbacksAtTheRelocatedBase) {
  const uint32_t newBase = 0x30000000;
  ASSERT_EQ(kwplatform::RelocatePeImage(info, image, newBase), PeError::None);
  kwplatform::PeTls tls;
  ASSERT_EQ(kwplatform::ReadPeTls(info, image, newBase, tls), PeError::None);
  ASSERT_EQ(tls.callbackRvas.size(), 1u);
  EXPECT_LT(tls.callbackRvas[0], info.sizeOfImage);
  EXPECT_NE(tls.indexRva, 0u);

  kwplatform::PeTls stale;
  EXPECT_EQ(kwplatform::ReadPeTls(info, image, info.imageBase, stale), PeError::Malformed)
      << "addresses read against the wrong base fall outside the image";
}

TEST_F(PeImageTest, RejectsCorruptHeaders) {
  const HeaderOffsets at(file);
  const uint32_t firstSection = at.sectionTable;
  const uint32_t lastSection = firstSection + 40 * (info.sections.size() - 1);
  struct Case {
    const char* what;
    std::function<void(std::vector<uint8_t>&)> corrupt;
    PeError error;
  };
  const Case cases[] = {
      {"empty", [](auto& f) { f.clear(); }, PeError::NotPortableExecutable},
      {"shorter than the DOS header", [](auto& f) { f.resize(40); }, PeError::NotPortableExecutable},
      {"no MZ", [](auto& f) { f[0] = 'X'; }, PeError::NotPortableExecutable},
      {"PE offset past the end", [](auto& f) { Put32(f, 0x3C, 0xFFFFFFF0); }, PeError::NotPortableExecutable},
      {"PE signature cut", [](auto& f) { Put32(f, 0x3C, static_cast<uint32_t>(f.size() - 2)); },
       PeError::NotPortableExecutable},
      {"x86-64 machine", [&](auto& f) { Put16(f, at.fileHeader, 0x8664); }, PeError::NotI386},
      {"PE32+ header", [&](auto& f) { Put16(f, at.optionalHeader, 0x020B); }, PeError::NotI386},
      {"not a DLL", [&](auto& f) { f[at.fileHeader + 19] &= ~0x20; }, PeError::NotDll},
      {"not executable", [&](auto& f) { f[at.fileHeader + 18] &= ~0x02; }, PeError::NotDll},
      {"optional header too short", [&](auto& f) { Put16(f, at.fileHeader + 16, 2); }, PeError::Malformed},
      {"directories beyond the optional header", [&](auto& f) { Put16(f, at.fileHeader + 16, 96 + 8); },
       PeError::Malformed},
      {"section table past the end", [&](auto& f) { Put16(f, at.fileHeader + 2, 0xFFFF); }, PeError::Malformed},
      {"empty image", [&](auto& f) { Put32(f, at.optionalHeader + 56, 0); }, PeError::Malformed},
      {"huge image", [&](auto& f) { Put32(f, at.optionalHeader + 56, 0xFFFFF000); }, PeError::Malformed},
      {"headers larger than the file", [&](auto& f) { Put32(f, at.optionalHeader + 60, 0x00100000); },
       PeError::Malformed},
      {"entry point outside", [&](auto& f) { Put32(f, at.optionalHeader + 16, 0x7FFFFFFF); }, PeError::Malformed},
      {"export directory outside", [&](auto& f) { Put32(f, at.Directory(0) + 4, Get32(f, at.optionalHeader + 56)); },
       PeError::Malformed},
      {"section data past the end", [&](auto& f) { Put32(f, firstSection + 20, 0xFFFFFF00); }, PeError::Malformed},
      {"section wraps around", [&](auto& f) { Put32(f, firstSection + 12, 0xFFFFF000); }, PeError::Malformed},
      {"cut inside the last section's data", [&](auto& f) { f.resize(Get32(f, lastSection + 20) + 1); },
       PeError::Malformed},
  };
  for (const Case& c : cases) {
    std::vector<uint8_t> corrupt = file;
    c.corrupt(corrupt);
    PeImageInfo described;
    EXPECT_EQ(kwplatform::ReadPeHeaders(corrupt, described), c.error) << c.what;
  }
}

TEST_F(PeImageTest, RejectsCorruptRelocations) {
  const uint32_t block = info.relocations.rva;
  struct Case {
    const char* what;
    std::function<void(std::vector<uint8_t>&, PeImageInfo&)> corrupt;
    PeError error;
  };
  const Case cases[] = {
      {"block shorter than its header", [&](auto& i, auto&) { Put32(i, block + 4, 4); }, PeError::Malformed},
      {"block past the directory", [&](auto& i, auto&) { Put32(i, block + 4, 0x10000); }, PeError::Malformed},
      {"target outside the image", [&](auto& i, auto& d) { Put32(i, block, d.sizeOfImage); }, PeError::Malformed},
      {"64-bit relocation", [&](auto& i, auto&) { Put16(i, block + 8, 0xA000); }, PeError::UnsupportedRelocation},
      {"stripped but moved", [](auto&, auto& d) { d.characteristics |= kwplatform::pe::FileRelocationsStripped; },
       PeError::NotRelocatable},
  };
  for (const Case& c : cases) {
    std::vector<uint8_t> corrupt = image;
    PeImageInfo described = info;
    c.corrupt(corrupt, described);
    EXPECT_EQ(kwplatform::RelocatePeImage(described, corrupt, 0x20000000), c.error) << c.what;
  }
  PeImageInfo stripped = info;
  stripped.characteristics |= kwplatform::pe::FileRelocationsStripped;
  EXPECT_EQ(kwplatform::RelocatePeImage(stripped, image, info.imageBase), PeError::None)
      << "an image that stays at its base needs no relocations";
}

TEST_F(PeImageTest, RejectsCorruptImportsAndIgnoresCorruptExports) {
  const uint32_t descriptor = info.imports.rva, end = info.sizeOfImage;
  std::vector<kwplatform::PeImportedLibrary> libraries;
  ASSERT_EQ(kwplatform::ReadPeImports(info, image, libraries), PeError::None);
  const uint32_t firstName = Get32(image, Get32(image, descriptor + 20));  // kernel32's first lookup entry
  struct Case {
    const char* what;
    std::function<void(std::vector<uint8_t>&)> corrupt;
  };
  const Case importCases[] = {
      {"library name outside", [&](auto& i) { Put32(i, descriptor + 12, end); }},
      {"library name unterminated", [&](auto& i) { Put32(i, descriptor + 12, end - 1), i[end - 1] = 'x'; }},
      {"address table outside", [&](auto& i) { Put32(i, descriptor + 16, end - 2), Put32(i, descriptor, 0); }},
      {"lookup table outside", [&](auto& i) { Put32(i, descriptor, end); }},
      {"routine name outside", [&](auto& i) { Put32(i, Get32(i, descriptor + 20), end - 1); }},
      {"empty routine name", [&](auto& i) { i[firstName + 2] = 0; }},
      {"no address table", [&](auto& i) { Put32(i, descriptor + 16, 0); }},
  };
  for (const Case& c : importCases) {
    std::vector<uint8_t> corrupt = image;
    c.corrupt(corrupt);
    EXPECT_EQ(kwplatform::ReadPeImports(info, corrupt, libraries), PeError::Malformed) << c.what;
  }

  const uint32_t directory = info.exports.rva;
  using Kind = PeExport::Kind;
  struct ExportCase {
    const char* what;
    std::function<void(std::vector<uint8_t>&)> corrupt;
    Kind byName, byOrdinal;  // of StdcallSum and of ordinal 7
  };
  const ExportCase exportCases[] = {
      {"function table outside", [&](auto& i) { Put32(i, directory + 28, 0xFFFFFFF0); }, Kind::Missing, Kind::Missing},
      {"name table outside", [&](auto& i) { Put32(i, directory + 32, end - 2); }, Kind::Missing, Kind::Code},
      {"ordinal table outside", [&](auto& i) { Put32(i, directory + 36, 0xFFFFFFFF); }, Kind::Missing, Kind::Code},
      {"countless names", [&](auto& i) { Put32(i, directory + 24, 0xFFFFFFFF); }, Kind::Code, Kind::Code},
      {"countless functions", [&](auto& i) { Put32(i, directory + 20, 0xFFFFFFFF); }, Kind::Code, Kind::Code},
  };
  for (const ExportCase& c : exportCases) {
    std::vector<uint8_t> corrupt = image;
    c.corrupt(corrupt);
    SCOPED_TRACE(c.what);
    EXPECT_EQ(kwplatform::FindPeExportByName(info, corrupt, "StdcallSum").kind, c.byName);
    EXPECT_EQ(kwplatform::FindPeExportByOrdinal(info, corrupt, 7).kind, c.byOrdinal);
    EXPECT_EQ(kwplatform::FindPeExportByName(info, corrupt, "NoSuchRoutine").kind, Kind::Missing);
    EXPECT_EQ(kwplatform::FindPeExportByOrdinal(info, corrupt, 0xFFFF).kind, Kind::Missing);
  }
}

}  // namespace
