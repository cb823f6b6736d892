#include "loader/data_relocations.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

class DataRelocationsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    data.assign(8192, 0);
    for (size_t word = 0; word < data.size() / 4; word++) {
      uint32_t value = static_cast<uint32_t>(word);
      memcpy(&data[word * 4], &value, 4);
    }
    original = data;
    image = ApplicationImage{};
    image.codeBase = reinterpret_cast<uint8_t*>(static_cast<uintptr_t>(0x00100000));
    image.dataBase = data.data();
    image.dataSize = static_cast<uint32_t>(data.size());
  }
  bool Apply(std::vector<uint16_t> words, bool oddByte = false) {
    std::vector<uint8_t> stream;
    for (uint16_t word : words) {
      stream.push_back(static_cast<uint8_t>(word));
      stream.push_back(static_cast<uint8_t>(word >> 8));
    }
    if (oddByte) stream.push_back(0x40);
    return ApplyDataRelocations(image, stream.data(), static_cast<uint32_t>(stream.size()));
  }
  // The words whose value changed, as (byte offset, amount added).
  std::vector<std::pair<uint32_t, uint32_t>> Changes() const {
    std::vector<std::pair<uint32_t, uint32_t>> changes;
    for (uint32_t offset = 0; offset + 4 <= data.size(); offset += 4) {
      uint32_t now, before;
      memcpy(&now, &data[offset], 4);
      memcpy(&before, &original[offset], 4);
      if (now != before) changes.emplace_back(offset, now - before);
    }
    return changes;
  }
  uint32_t CodeBase() const { return 0x00100000; }
  uint32_t DataBase() const { return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(data.data())); }
  std::vector<uint8_t> data, original;
  ApplicationImage image;
};

TEST_F(DataRelocationsTest, SkipsCountBytesAndRunsCountWords) {
  // Skip 4096 bytes, relocate 2 words by the code base, skip 8, 1 word by the data base, and a
  // 0x46xx run that also means the code base.
  ASSERT_TRUE(Apply({0x8FFF, 0x4001, 0x8007, 0x4200, 0x4600}));
  std::vector<std::pair<uint32_t, uint32_t>> expected = {
      {4096, CodeBase()}, {4100, CodeBase()}, {4112, DataBase()}, {4116, CodeBase()}};
  EXPECT_EQ(Changes(), expected);
}

TEST_F(DataRelocationsTest, LongestRunRelocates512Words) {
  ASSERT_TRUE(Apply({0x41FF}));
  auto changes = Changes();
  ASSERT_EQ(changes.size(), 512u);
  EXPECT_EQ(changes.back().first, 511u * 4);
}

TEST_F(DataRelocationsTest, UnknownWordsNeitherChangeNorMoveAndOddByteIsIgnored) {
  ASSERT_TRUE(Apply({0x4400, 0xC000, 0x0000, 0x9000, 0x4000}, true));
  EXPECT_EQ(Changes(), (std::vector<std::pair<uint32_t, uint32_t>>{{0, CodeBase()}}));
}

TEST_F(DataRelocationsTest, RunPastTheBlockIsRefusedWithoutWritingOutside) {
  image.dataSize = 16;
  EXPECT_FALSE(Apply({0x8007, 0x4002}));  // 3 words from offset 8 need 20 bytes
  EXPECT_TRUE(Changes().empty());
  EXPECT_FALSE(Apply({0x8FFF, 0x4000}));  // the cursor already past the end
}

}  // namespace
