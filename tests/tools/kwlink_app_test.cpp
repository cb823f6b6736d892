// Reads back the images that the build links from fixtures/app.c and fixtures/app.s with
// kw_image, as the loader would see them.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "platform/kernel/embedded_resource.h"
#include "tests/tools/kwlink_test_support.h"
#include "tools/kwlink/files.h"
#include "tools/kwlink/output_forms.h"

namespace kwtest {
namespace {

namespace fs = std::filesystem;

constexpr uint32_t CodeBase = 0x00100000;
constexpr uint32_t DataBase = 0x00800000;
const fs::path Images = KW_TEST_IMAGES;

kwlink::ImageBlocks DevelopmentBlocks() {
  const fs::path folder = Images / "kwlink_fixture_development";
  return {kwlink::ReadWholeFile(folder / "code1.dat"), kwlink::ReadWholeFile(folder / "code2.dat"),
          kwlink::ReadWholeFile(folder / "data1.dat"), kwlink::ReadWholeFile(folder / "data2.dat")};
}

// The blocks as the loader leaves them with the code block at CodeBase and the data block at
// DataBase: data relocated, chains walked (not linked), data references in code resolved.
class LoadedImage {
 public:
  explicit LoadedImage(const kwlink::ImageBlocks& blocks) : code_(blocks.code), data_(blocks.data) {
    relocations_ = WalkDataRelocations(blocks.dataRelocations);
    for (const auto& [offset, base] : relocations_.relocated)
      if (offset + 4 <= data_.size())
        kwlink::WriteU32(data_, offset,
                         kwlink::ReadU32(data_, offset) + (base == kwlink::Base::Code ? CodeBase : DataBase));
    ReadFixups(blocks.codeFixups);
  }

  const WalkedRelocations& relocations() const { return relocations_; }
  const std::map<std::string, std::vector<uint32_t>>& chains() const { return chains_; }
  const std::vector<uint32_t>& dataReferences() const { return dataReferences_; }

  bool IsCode(uint32_t address) const { return address >= CodeBase && address < CodeBase + code_.size(); }

  // The u32 at a data address.
  uint32_t At(uint32_t address, uint32_t word = 0) const {
    const uint32_t offset = address - DataBase + 4 * word;
    if (address < DataBase || offset + 4 > data_.size()) {
      ADD_FAILURE() << "address " << address << " + word " << word << " is not in the data block";
      return 0;
    }
    return kwlink::ReadU32(data_, offset);
  }

  // The text of the string constant at address, checking its layout on the way.
  std::string Text(uint32_t address) const {
    EXPECT_EQ(At(address, 0), 1u) << "count";
    const uint32_t buffer = At(address, 1);
    const uint32_t length = At(address, 3);
    EXPECT_EQ(At(address, 2), length) << "buffer size";
    const uint32_t offset = buffer - DataBase;
    if (buffer < DataBase || offset + length + 2 > data_.size()) {
      ADD_FAILURE() << "buffer outside the data block";
      return "";
    }
    EXPECT_EQ(data_[offset], std::min<uint32_t>(length, 255)) << "length byte";
    EXPECT_EQ(data_[offset + 1 + length], 0) << "terminator";
    return std::string(data_.begin() + offset + 1, data_.begin() + offset + 1 + length);
  }

 private:
  void ReadFixups(const Bytes& stream) {
    for (size_t at = 0; at < stream.size();) {
      const uint8_t kind = stream[at];
      if (kind == 0x01 && at + 6 <= stream.size() && at + 6 + stream[at + 5] <= stream.size()) {
        const std::string name(stream.begin() + at + 6, stream.begin() + at + 6 + stream[at + 5]);
        for (uint32_t site = kwlink::ReadU32(stream, at + 1); site != 0; site = kwlink::ReadU32(code_, site)) {
          if (site + 4 > code_.size() || code_[site - 1] != 0xE8 || chains_[name].size() > code_.size()) {
            ADD_FAILURE() << name << ": bad site " << site;
            break;
          }
          chains_[name].push_back(site);
        }
        at += 6 + stream[at + 5];
      } else if (kind == 0x02 && at + 5 <= stream.size()) {
        dataReferences_.push_back(kwlink::ReadU32(stream, at + 1));
        at += 5;
      } else {
        ADD_FAILURE() << "unexpected fixup byte " << int{kind} << " at " << at;
        return;
      }
    }
  }

  Bytes code_;
  Bytes data_;
  WalkedRelocations relocations_;
  std::map<std::string, std::vector<uint32_t>> chains_;
  std::vector<uint32_t> dataReferences_;
};

TEST(KwlinkAppTest, CompiledApplicationReadsBackThroughItsProjectTable) {
  const kwlink::ImageBlocks blocks = DevelopmentBlocks();
  const LoadedImage image(blocks);
  EXPECT_EQ(image.relocations().end, blocks.data.size());
  EXPECT_EQ(image.relocations().unknownWords, 0);

  EXPECT_TRUE(image.IsCode(image.At(DataBase, 0))) << "entry routine";
  const uint32_t project = image.At(DataBase, 1);
  ASSERT_EQ(image.At(project, 0), 2u) << "class count";
  ASSERT_EQ(image.At(project, 3), 0u) << "item count";

  const uint32_t window1 = image.At(project, 1);
  const std::vector<uint32_t> expected1 = {0, 64, 0, 0xFFFFFFFF, 0, 0, 0, 1, 0, 0, 1, 0, 0, 7, 0, 0};
  for (uint32_t word : {0, 1, 3, 4, 5, 6, 7, 10, 13, 14, 15})
    EXPECT_EQ(image.At(window1, word), expected1[word]) << word;
  EXPECT_EQ(image.Text(image.At(window1, 2)), "Window1");
  EXPECT_EQ(image.Text(image.At(window1, 8)), "Open");
  EXPECT_TRUE(image.IsCode(image.At(window1, 9)));
  std::string hundred;
  for (int i = 0; i < 10; i++) hundred += "0123456789";
  EXPECT_EQ(image.Text(image.At(window1, 11)), hundred + hundred + hundred);
  EXPECT_EQ(image.At(window1, 12), image.At(window1, 9)) << "the handler is the method";

  const uint32_t asmClass = image.At(project, 2);
  const std::vector<uint32_t> expected2 = {0, 32, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
  for (uint32_t word : {0, 1, 3, 4, 5, 6, 7, 10, 11, 12}) EXPECT_EQ(image.At(asmClass, word), expected2[word]) << word;
  EXPECT_EQ(image.Text(image.At(asmClass, 2)), "AsmClass");
  EXPECT_EQ(image.Text(image.At(asmClass, 8)), "from assembler");
  EXPECT_TRUE(image.IsCode(image.At(asmClass, 9)));
  EXPECT_EQ(image.At(asmClass, 13), image.At(asmClass, 9)) << "dispatch entry";
}

TEST(KwlinkAppTest, CompiledApplicationCallsServicesAndLibraryRoutinesThroughChains) {
  const kwlink::ImageBlocks blocks = DevelopmentBlocks();
  const LoadedImage image(blocks);
  std::map<std::string, size_t> sites;
  for (const auto& [name, chain] : image.chains()) sites[name] = chain.size();
  EXPECT_EQ(sites, (std::map<std::string, size_t>{{"!Xuser32!MessageBoxA", 2},
                                                  {"RuntimeAddString", 1},
                                                  {"RuntimeInit", 1},
                                                  {"RuntimeLockString", 1},
                                                  {"RuntimeRun", 1},
                                                  {"RuntimeUnlockString", 1}}));
  EXPECT_FALSE(image.dataReferences().empty());
  for (uint32_t offset : image.dataReferences()) {
    ASSERT_LE(offset + 4, blocks.code.size());
    EXPECT_LT(kwlink::ReadU32(blocks.code, offset), blocks.data.size()) << "a data offset at code " << offset;
  }
  EXPECT_EQ(kwlink::ReadWholeFile(Images / "kwlink_fixture_development/data3.dat"),
            kwlink::BuildResourceBlock(std::vector<Bytes>{kwlink::ReadWholeFile(KW_TEST_FIXTURES "/resource.bin")}));
}

TEST(KwlinkAppTest, ProductionFormIsTheEngineWithPatchedLocatorResourcesAndTheSameImage) {
  const Bytes engine = kwlink::ReadWholeFile(KW_TEST_ENGINE);
  const Bytes file = kwlink::ReadWholeFile(Images / "kwlink_fixture_production");
  const Bytes resources = kwlink::ReadWholeFile(Images / "kwlink_fixture_development/data3.dat");
  const Bytes image = kwlink::SerializeImage(DevelopmentBlocks());
  ASSERT_EQ(file.size(), engine.size() + resources.size() + image.size());

  const std::string marker(std::begin(kwplatform::LocatorResourceMarker), std::end(kwplatform::LocatorResourceMarker));
  const size_t locator = std::string(engine.begin(), engine.end()).find(marker) + marker.size();
  ASSERT_LT(locator, engine.size());
  EXPECT_EQ(kwlink::ReadU32(file, locator), engine.size() + resources.size());
  EXPECT_EQ(kwlink::ReadU32(file, locator + 4), engine.size());
  Bytes unpatched(file.begin(), file.begin() + static_cast<long>(engine.size()));
  std::copy(engine.begin() + static_cast<long>(locator), engine.begin() + static_cast<long>(locator) + 8,
            unpatched.begin() + static_cast<long>(locator));
  EXPECT_EQ(unpatched, engine);
  EXPECT_EQ(Bytes(file.begin() + static_cast<long>(engine.size()), file.end()), Concat({resources, image}));
  EXPECT_NE(fs::status(Images / "kwlink_fixture_production").permissions() & fs::perms::owner_exec, fs::perms::none);
}

}  // namespace
}  // namespace kwtest
