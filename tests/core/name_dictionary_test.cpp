#include "core/name_dictionary.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/memory_manager.h"
#include "core/runtime_string.h"

namespace {

void* Value(intptr_t number) { return reinterpret_cast<void*>(number); }

class NameDictionaryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    bytesBefore = SmallBytesInUse();
    dictionary = NameDictionaryCreate();
  }
  void TearDown() override {
    NameDictionaryDestroy(dictionary);
    EXPECT_EQ(SmallBytesInUse(), bytesBefore) << "destroy releases every name and entry";
  }
  void Insert(const char* name, intptr_t value) {
    RuntimeString* key = StringFromCString(name);
    NameDictionaryInsert(dictionary, key, Value(value));
    StringRelease(key);  // the dictionary holds its own reference
  }
  std::vector<intptr_t> ValuesInOrder() {
    std::vector<intptr_t> values;
    NameDictionaryCursor cursor = NameDictionaryIterate(dictionary);
    while (NameDictionaryAdvance(&cursor)) values.push_back(reinterpret_cast<intptr_t>(NameDictionaryCurrentValue(&cursor)));
    return values;
  }
  int32_t bytesBefore = 0;
  NameDictionary* dictionary = nullptr;
};

TEST(NameHashTest, FoldsAsciiCaseAndSignExtendsHighBytes) {
  struct Case {
    const char* name;
    uint32_t hash;
  };
  const Case cases[] = {
      {"Ab", 0x146}, {"aB", 0x146}, {"AB", 0x146}, {"", 0}, {"\x80", 0xFFFFFF80u}, {"\xE9", 0xFFFFFFE9u},
      {"A\x80", 0xFFFFFF80u ^ (0x41u << 2)},
  };
  for (const Case& c : cases) {
    RuntimeString* name = StringFromCString(c.name);
    EXPECT_EQ(NameHash(name), c.hash) << c.name;
    StringRelease(name);
  }
  EXPECT_EQ(NameHashBytes("Ab", 2) & 0xFF, 0x46u);
}

TEST_F(NameDictionaryTest, SameNameInAnotherCaseReplacesTheValueAndKeepsOneEntry) {
  Insert("PushButton1", 1);
  Insert("Window1", 2);
  Insert("PUSHBUTTON1", 3);
  EXPECT_EQ(ValuesInOrder(), (std::vector<intptr_t>{3, 2}));
  EXPECT_EQ(NameDictionaryLookup(dictionary, "pushbutton1"), Value(3));
}

TEST_F(NameDictionaryTest, LookupFindsByFoldedNameOrReturnsNull) {
  Insert("Timer", 7);
  RuntimeString* probe = StringFromCString("TIMER");
  EXPECT_EQ(NameDictionaryLookup(dictionary, probe), Value(7));
  StringRelease(probe);
  EXPECT_EQ(NameDictionaryLookup(dictionary, "Time"), nullptr);
  EXPECT_EQ(NameDictionaryLookup(dictionary, ""), nullptr);
  EXPECT_EQ(NameDictionaryLookup(dictionary, static_cast<const char*>(nullptr)), nullptr);
}

TEST_F(NameDictionaryTest, ManyNamesInOneBucketKeepInsertionOrder) {
  // Names whose hashes share the low byte land in one bucket; all stay reachable.
  std::vector<std::string> names;
  for (int index = 0; index < 2000 && names.size() < 12; index++) {
    std::string name = "N" + std::to_string(index);
    if ((NameHashBytes(name.data(), static_cast<int32_t>(name.size())) & 0xFF) == 0x2A) names.push_back(name);
  }
  ASSERT_GE(names.size(), 4u);
  for (size_t index = 0; index < names.size(); index++) Insert(names[index].c_str(), static_cast<intptr_t>(index + 1));
  for (size_t index = 0; index < names.size(); index++)
    EXPECT_EQ(NameDictionaryLookup(dictionary, names[index].c_str()), Value(static_cast<intptr_t>(index + 1)));
  std::vector<intptr_t> expected;
  for (size_t index = 0; index < names.size(); index++) expected.push_back(static_cast<intptr_t>(index + 1));
  EXPECT_EQ(ValuesInOrder(), expected);
}

TEST_F(NameDictionaryTest, EmptyDictionaryIteratesNothing) {
  NameDictionaryCursor cursor = NameDictionaryIterate(dictionary);
  EXPECT_FALSE(NameDictionaryAdvance(&cursor));
  EXPECT_FALSE(NameDictionaryAdvance(&cursor));
  EXPECT_EQ(NameDictionaryCurrentValue(&cursor), nullptr);
  NameDictionaryDestroy(nullptr);
}

}  // namespace
