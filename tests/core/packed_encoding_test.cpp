#include "core/packed_encoding.h"

#include <gtest/gtest.h>

#include <vector>

#include "core/runtime_string.h"

namespace {

TEST(PackedEncodingTest, IntegersCarrySignAndSevenBitGroups) {
  struct Case {
    std::vector<uint8_t> bytes;
    int32_t value;
  };
  const Case cases[] = {
      {{0x00}, 0},
      {{0x3F}, 63},
      {{0x7F}, -63},
      {{0x80, 0x01}, 64},                      // 0 + (1 << 6)
      {{0xC5, 0x02}, -(5 + (2 << 6))},         // negative, continued
      {{0x80, 0x80, 0x80, 0x80, 0x10}, static_cast<int32_t>(0x80000000u)},  // magnitude 2^31, positive
      {{0xC0, 0x80, 0x80, 0x80, 0x10}, static_cast<int32_t>(0x80000000u)},  // not negated either
  };
  for (const Case& c : cases) {
    PackedReader reader(c.bytes.data(), static_cast<uint32_t>(c.bytes.size()));
    int32_t value = 0;
    ASSERT_TRUE(reader.Integer(&value));
    EXPECT_EQ(value, c.value);
    EXPECT_EQ(reader.Position(), c.bytes.size());
  }
}

TEST(PackedEncodingTest, StringsAndReadsPastTheEnd) {
  const uint8_t bytes[] = {0x03, 'a', 'b', 'c', 0x41, 0x00, 0x05, 'x'};
  PackedReader reader(bytes, sizeof bytes);
  RuntimeString* text = nullptr;
  ASSERT_TRUE(reader.String(&text));
  EXPECT_STREQ(StringCText(text), "abc");
  StringRelease(text);
  ASSERT_TRUE(reader.String(&text));  // length -1: empty
  EXPECT_EQ(text, nullptr);
  ASSERT_TRUE(reader.String(&text));  // length 0
  EXPECT_EQ(text, nullptr);
  EXPECT_FALSE(reader.String(&text)) << "5 bytes announced, 1 left";
  EXPECT_TRUE(reader.Failed());
  uint8_t byte;
  EXPECT_FALSE(reader.Byte(&byte)) << "a failed reader stays failed";

  const uint8_t unfinished[] = {0x80};
  PackedReader truncated(unfinished, 1);
  int32_t value;
  EXPECT_FALSE(truncated.Integer(&value));
}

}  // namespace
