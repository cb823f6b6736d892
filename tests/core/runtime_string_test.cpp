#include "core/runtime_string.h"

#include <gtest/gtest.h>

#include <string>

#include "core/memory_manager.h"

namespace {

std::string Text(const RuntimeString* s) { return std::string(StringCText(s), static_cast<size_t>(StringLength(s))); }

// Owns one reference for the length of a test.
struct Held {
  RuntimeString* s;
  explicit Held(RuntimeString* string) : s(string) {}
  ~Held() { StringRelease(s); }
};

class RuntimeStringTest : public ::testing::Test {
 protected:
  void SetUp() override { bytesBefore = SmallBytesInUse(); }
  void TearDown() override { EXPECT_EQ(SmallBytesInUse(), bytesBefore) << "strings leaked or freed twice"; }
  int32_t bytesBefore = 0;
};

TEST_F(RuntimeStringTest, ZeroBytesMakeNullWhichReadsAsEmpty) {
  RuntimeString* slot = StringFromCString("old");
  StringMakeFromBytes(&slot, "xyz", 0);
  EXPECT_EQ(slot, nullptr);
  EXPECT_EQ(StringLength(nullptr), 0);
  EXPECT_STREQ(StringCText(nullptr), "");
  EXPECT_EQ(StringFromCString(""), nullptr);
  EXPECT_EQ(StringFromCString(nullptr), nullptr);
}

TEST_F(RuntimeStringTest, BufferHoldsLengthByteTextAndTerminator) {
  struct Case {
    int32_t length;
    unsigned char lengthByte;
  };
  for (const Case& c : {Case{1, 1}, Case{254, 254}, Case{255, 255}, Case{300, 255}}) {
    std::string bytes(static_cast<size_t>(c.length), 'q');
    bytes[0] = 0;  // text may hold zero bytes; the length field is what counts
    Held s(StringFromBytes(bytes.data(), c.length));
    EXPECT_EQ(s.s->count, 1);
    EXPECT_EQ(s.s->length, c.length);
    EXPECT_EQ(s.s->bufferSize, c.length + 2);
    EXPECT_EQ(static_cast<unsigned char>(s.s->buffer[0]), c.lengthByte);
    EXPECT_EQ(s.s->buffer[c.length + 1], 0);
    EXPECT_EQ(Text(s.s), bytes);
  }
}

TEST_F(RuntimeStringTest, MakeFromLengthPrefixedBytes) {
  const unsigned char counted[] = {3, 'a', 'b', 'c', 'd'};
  RuntimeString* slot = nullptr;
  StringMakeFromPString(&slot, counted);
  EXPECT_EQ(Text(slot), "abc");
  const unsigned char empty[] = {0};
  StringMakeFromPString(&slot, empty);
  EXPECT_EQ(slot, nullptr);
}

TEST_F(RuntimeStringTest, MakeWithoutBytesLeavesTextForTheCaller) {
  RuntimeString* slot = nullptr;
  StringMakeFromBytes(&slot, nullptr, 3);
  memcpy(slot->buffer + 1, "xyz", 3);
  EXPECT_STREQ(StringCText(slot), "xyz");
  StringRelease(slot);
}

TEST_F(RuntimeStringTest, WritingIntoASharedStringChangesOnlyTheWritersCopy) {
  RuntimeString* first = StringFromCString("share");
  RuntimeString* second = nullptr;
  StringCopy(&second, &first);
  ASSERT_EQ(first, second);
  EXPECT_EQ(first->count, 2);

  *StringWritableChar(&first, 0) = 'S';
  EXPECT_NE(first, second);
  EXPECT_EQ(Text(first), "Share");
  EXPECT_EQ(Text(second), "share");
  EXPECT_EQ(second->count, 1);

  RuntimeString* unshared = first;
  *StringWritableChar(&first, 4) = 'E';  // count 1: written in place
  EXPECT_EQ(first, unshared);
  EXPECT_EQ(Text(first), "SharE");
  StringRelease(first);
  StringRelease(second);
}

TEST_F(RuntimeStringTest, AssignReleasesTheOldStringAndIgnoresTheSameSlot) {
  RuntimeString* target = StringFromCString("old");
  RuntimeString* source = StringFromCString("new");
  StringAssign(&target, &source);
  EXPECT_EQ(target, source);
  EXPECT_EQ(source->count, 2);
  StringAssign(&target, &target);
  EXPECT_EQ(target->count, 2);
  StringRelease(target);
  StringRelease(source);
}

TEST_F(RuntimeStringTest, PiecesClampAndShareWholeResults) {
  enum Piece { Left, Tail, Middle, Right };
  struct Case {
    Piece piece;
    int32_t first, second;
    const char* expected;
    bool sameObject;
  };
  const Case cases[] = {
      {Left, 5, 0, "abc", true},    {Left, 3, 0, "abc", true},   {Left, 2, 0, "ab", false},
      {Left, 0, 0, "", false},      {Left, -1, 0, "", false},    {Tail, 0, 0, "abc", true},
      {Tail, 1, 0, "bc", false},    {Tail, 3, 0, "", false},     {Tail, 7, 0, "", false},
      {Middle, 1, 10, "bc", false}, {Middle, 0, 3, "abc", true}, {Middle, 1, 1, "b", false},
      {Middle, 3, 1, "", false},    {Middle, 1, 0, "", false},   {Middle, -2, 2, "ab", false},
      {Right, 5, 0, "abc", true},   {Right, 2, 0, "bc", false},  {Right, 0, 0, "", false},
  };
  RuntimeString* abc = StringFromCString("abc");
  for (const Case& c : cases) {
    RuntimeString* result = nullptr;
    switch (c.piece) {
      case Left: result = StringTakeLeft(abc, c.first); break;
      case Tail: result = StringTakeTail(abc, c.first); break;
      case Middle: result = StringTakeMiddle(abc, c.first, c.second); break;
      case Right: result = StringTakeRight(abc, c.first); break;
    }
    EXPECT_EQ(Text(result), c.expected) << "piece " << c.piece << " (" << c.first << ", " << c.second << ")";
    EXPECT_EQ(result == abc, c.sameObject) << "piece " << c.piece << " (" << c.first << ", " << c.second << ")";
    StringRelease(result);
  }
  EXPECT_EQ(abc->count, 1) << "every shared result was released";
  EXPECT_EQ(StringTakeLeft(nullptr, 3), nullptr);
  EXPECT_EQ(StringTakeMiddle(nullptr, 0, 3), nullptr);
  StringRelease(abc);
}

TEST_F(RuntimeStringTest, ConcatenationSharesAnOperandWhenTheOtherIsEmpty) {
  RuntimeString* a = StringFromCString("ab");
  RuntimeString* b = StringFromCString("cd");
  Held both(StringConcatenate(a, b));
  EXPECT_EQ(Text(both.s), "abcd");
  Held left(StringConcatenate(a, nullptr));
  Held right(StringConcatenate(nullptr, b));
  EXPECT_EQ(left.s, a);
  EXPECT_EQ(right.s, b);
  EXPECT_EQ(a->count, 2);
  EXPECT_EQ(StringConcatenate(nullptr, nullptr), nullptr);
  Held appended(StringAppendByte(a, 0xE9));
  EXPECT_EQ(Text(appended.s), "ab\xE9");
  Held fromEmpty(StringAppendByte(nullptr, 'x'));
  EXPECT_EQ(Text(fromEmpty.s), "x");
  StringRelease(a);
  StringRelease(b);
}

TEST_F(RuntimeStringTest, JoinMakesOneStringOfThePieces) {
  Held joined(StringJoin({"The class ", "", nullptr, "Window1", " could not be found."}));
  EXPECT_EQ(Text(joined.s), "The class Window1 could not be found.");
  EXPECT_EQ(StringJoin({"", nullptr}), nullptr);
}

TEST_F(RuntimeStringTest, FoldedComparisonOfEngineNames) {
  struct Case {
    const char* a;
    const char* b;
    int expected;
  };
  const Case cases[] = {
      {"Window1", "WINDOW1", 0}, {"a", "AB", -1},   {"AB", "a", 1},     {"b", "A", 1},
      {"\x8A", "\x80", 0},       {"\xE9", "\xC9", 1}, {"\xF5", "i", 0},  {"", "", 0},
      {"", "a", -1},             {"\xE9", "\x8F", 0}, {"[", "a", 1},      {"{", "A", 1},
  };
  for (const Case& c : cases) {
    Held a(StringFromCString(c.a));
    Held b(StringFromCString(c.b));
    EXPECT_EQ(StringCompareFolded(a.s, b.s), c.expected) << c.a << " / " << c.b;
    EXPECT_EQ(StringCompareFolded(a.s, c.b), c.expected) << c.a << " / " << c.b;
    EXPECT_EQ(CStringCompareFolded(c.a, c.b), c.expected) << c.a << " / " << c.b;
  }
  EXPECT_EQ(CStringCompareFolded(nullptr, ""), 0);
}

TEST_F(RuntimeStringTest, FoldedComparisonCountsEmbeddedZeroBytes) {
  Held shorter(StringFromBytes("ab", 2));
  Held longer(StringFromBytes("ab\0", 3));
  EXPECT_EQ(StringCompareFolded(shorter.s, longer.s), -1);
}

TEST_F(RuntimeStringTest, ExactComparisonIsUnsignedBytes) {
  struct Case {
    const char* a;
    const char* b;
    int expected;
  };
  for (const Case& c : {Case{"a", "A", 1}, Case{"\x80", "a", 1}, Case{"abc", "abc", 0}, Case{"ab", "abc", -1}})
    EXPECT_EQ(CStringCompareExact(c.a, c.b), c.expected) << c.a << " / " << c.b;
}

TEST_F(RuntimeStringTest, IntegerTextBothWays) {
  struct Parse {
    const char* text;
    int32_t value;
  };
  const Parse parses[] = {
      {"-1a2", -12}, {"12-3", 123}, {"", 0},       {"abc", 0},
      {" -5", 5},    {"-", 0},      {"007", 7},    {"2147483648", INT32_MIN},
  };
  for (const Parse& p : parses) EXPECT_EQ(ParseInteger(p.text), p.value) << p.text;
  EXPECT_EQ(ParseInteger(nullptr), 0);

  for (int32_t value : {0, 7, -42, INT32_MAX, INT32_MIN}) {
    Held text(StringFromInteger(value));
    EXPECT_EQ(Text(text.s), std::to_string(value));
  }
}

}  // namespace
