#include "core/string_services.h"

#include <gtest/gtest.h>

#include "core/memory_manager.h"
#include "core/runtime_string.h"

namespace {

TEST(StringServicesTest, LockAndUnlockCountAndFreeAtZero) {
  int32_t before = SmallBytesInUse();
  RuntimeString* s = StringFromCString("counted");
  RuntimeLockString(s);
  EXPECT_EQ(s->count, 2);
  RuntimeUnlockString(s);
  EXPECT_EQ(s->count, 1);
  RuntimeUnlockString(s);
  EXPECT_EQ(SmallBytesInUse(), before);
  RuntimeLockString(nullptr);
  RuntimeUnlockString(nullptr);
}

TEST(StringServicesTest, AddStringGivesTheCallerOneReference) {
  RuntimeString* a = StringFromCString("con");
  RuntimeString* b = StringFromCString("cat");
  RuntimeString* sum = RuntimeAddString(a, b);
  EXPECT_STREQ(StringCText(sum), "concat");
  EXPECT_EQ(sum->count, 1);
  EXPECT_EQ(a->count, 1);  // arguments are borrowed
  RuntimeString* same = RuntimeAddString(nullptr, b);
  EXPECT_EQ(same, b);
  EXPECT_EQ(b->count, 2);
  for (RuntimeString* s : {sum, same, a, b}) RuntimeUnlockString(s);
}

TEST(StringServicesTest, CompareUsesTheLocaleIgnoringCase) {
  struct Case {
    const char* a;
    const char* b;
    int32_t expected;
  };
  const Case cases[] = {
      {nullptr, nullptr, 0}, {"a", "B", -1},     {"B", "a", 1},     {"ABC", "abc", 0},
      {"", "a", -1},         {"a", nullptr, 1},  {"Zoo", "apple", 1}, {"10", "9", -1},
  };
  for (const Case& c : cases) {
    RuntimeString* a = StringFromCString(c.a);
    RuntimeString* b = StringFromCString(c.b);
    EXPECT_EQ(RuntimeStringCompare(a, b), c.expected) << (c.a ? c.a : "null") << " / " << (c.b ? c.b : "null");
    if (a) {
      EXPECT_EQ(a->count, 1) << "the reference held during the call is given back";
    }
    StringRelease(a);
    StringRelease(b);
  }
}

}  // namespace
