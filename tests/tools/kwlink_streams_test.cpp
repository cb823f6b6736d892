#include <gtest/gtest.h>

#include "tests/tools/kwlink_test_support.h"
#include "tools/kwlink/image_streams.h"

namespace kwtest {
namespace {

using kwlink::Base;
using kwlink::DataRelocation;

std::vector<DataRelocation> Words(uint32_t from, uint32_t words, Base base) {
  std::vector<DataRelocation> run;
  for (uint32_t i = 0; i < words; i++) run.push_back({from + 4 * i, base});
  return run;
}

std::vector<DataRelocation> Join(std::initializer_list<std::vector<DataRelocation>> parts) {
  std::vector<DataRelocation> all;
  for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

TEST(KwlinkStreamsTest, RelocationStreamSplitsSkipsAndRunsAtTheirLimitsAndCoversTheBlock) {
  struct Case {
    const char* what;
    std::vector<DataRelocation> relocations;
    uint32_t blockSize;
    std::vector<uint16_t> words;
  };
  const Case cases[] = {
      {"header only", Words(0, 1, Base::Code), 8, {0x4000, 0x8003}},
      {"skip of exactly 4096", Words(4096, 1, Base::Code), 4100, {0x8FFF, 0x4000}},
      {"skip of 4097 in two", Words(4097, 1, Base::Data), 4101, {0x8FFF, 0x8000, 0x4200}},
      {"trailing skips", {}, 8193, {0x8FFF, 0x8FFF, 0x8000}},
      {"run of exactly 512", Words(0, 512, Base::Code), 2048, {0x41FF}},
      {"run of 513 in two", Words(0, 513, Base::Data), 2052, {0x43FF, 0x4200}},
      {"bases alternate",
       Join({Words(0, 1, Base::Code), Words(4, 2, Base::Data), Words(12, 1, Base::Code)}),
       16,
       {0x4000, 0x4201, 0x4000}},
      {"unaligned word",
       Join({Words(0, 1, Base::Code), Words(6, 1, Base::Data)}),
       12,
       {0x4000, 0x8001, 0x4200, 0x8001}},
  };
  for (const Case& c : cases) {
    const Bytes stream = kwlink::EncodeDataRelocations(c.relocations, c.blockSize);
    Bytes expected;
    for (uint16_t word : c.words) kwlink::AppendU16(expected, word);
    EXPECT_EQ(stream, expected) << c.what;
    const WalkedRelocations walk = WalkDataRelocations(stream);
    EXPECT_EQ(walk.end, c.blockSize) << c.what;
    EXPECT_EQ(walk.relocated.size(), c.relocations.size()) << c.what;
    for (const DataRelocation& relocation : c.relocations)
      EXPECT_EQ(walk.relocated.at(relocation.offset), relocation.base) << c.what << " at " << relocation.offset;
  }
}

TEST(KwlinkStreamsTest, LongMixedRelocationsReadBackExactly) {
  // Runs longer than 512 words, gaps longer than 4096 bytes and base changes, all at once.
  const std::vector<DataRelocation> relocations =
      Join({Words(0, 2, Base::Code), Words(8, 700, Base::Data), Words(8 + 2800 + 9000, 3, Base::Code),
            Words(20000, 1030, Base::Code), Words(20000 + 4120, 1, Base::Data)});
  const uint32_t blockSize = 20000 + 4124 + 5000;
  const WalkedRelocations walk = WalkDataRelocations(kwlink::EncodeDataRelocations(relocations, blockSize));
  EXPECT_EQ(walk.end, blockSize);
  EXPECT_EQ(walk.unknownWords, 0);
  ASSERT_EQ(walk.relocated.size(), relocations.size());
  for (const DataRelocation& relocation : relocations) EXPECT_EQ(walk.relocated.at(relocation.offset), relocation.base);
}

TEST(KwlinkStreamsTest, FixupStreamHoldsChainRecordsThenDataReferences) {
  const kwlink::CallChain chains[] = {{"RuntimeRun", 0x10}, {std::string(255, 'x'), 0x01020304}};
  const uint32_t references[] = {7, 0x100};
  const Bytes stream = kwlink::EncodeCodeFixups(chains, references);
  EXPECT_EQ(stream, Concat({{0x01, 0x10, 0, 0, 0, 10},
                            Bytes{'R', 'u', 'n', 't', 'i', 'm', 'e', 'R', 'u', 'n'},
                            {0x01, 0x04, 0x03, 0x02, 0x01, 0xFF},
                            Bytes(255, 'x'),
                            {0x02, 7, 0, 0, 0, 0x02, 0x00, 0x01, 0, 0}}));
}

}  // namespace
}  // namespace kwtest
