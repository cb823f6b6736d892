#include "core/variants.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>

#include "core/class_registry.h"
#include "core/exceptions.h"
#include "core/memory_manager.h"
#include "core/object_model.h"
#include "core/runtime_string.h"
#include "tests/core/core_test_support.h"

namespace {


// The text of a Variant, with the reference the conversion handed out given back.
std::string TextOf(RuntimeObject* variant) {
  RuntimeString* s = variantToString(variant);
  std::string text = Text(s);
  StringRelease(s);
  return text;
}

class VariantsTest : public BalancedTest {
 protected:
  void SetUp() override {
    BalancedTest::SetUp();
    RegisterVariantClasses();
    bytesBefore = SmallBytesInUse();
    objectsBefore = LiveObjectCount();
  }
  RuntimeObject* NewCollection() { return NewInstance(FindClassByName("Collection")); }
};

TEST_F(VariantsTest, TypeCodesAndTests) {
  struct Case {
    std::function<RuntimeObject*()> make;
    int32_t type;
    bool numeric;
    bool null;
  };
  const Case cases[] = {
      {[] { return nullptr; }, 0, false, false},
      {getNilVariant, 1, false, true},
      {[] { return intToVariant(-5); }, 2, true, false},
      {[] { return doubleToVariant(2.5); }, 5, true, false},
      {[] { return stringToVariant(nullptr); }, 8, false, false},
      {[] { return booleanToVariant(true); }, 11, false, false},
      {[] { return objectToVariant(nullptr); }, 13, false, false},
  };
  for (const Case& c : cases) {
    RuntimeObject* variant = c.make();
    EXPECT_EQ(VarType(variant), c.type);
    EXPECT_EQ(IsNumeric(variant), c.numeric) << c.type;
    EXPECT_EQ(IsNull(variant), c.null) << c.type;
    RuntimeUnlockObject(variant);
  }
  ExpectBalanced();
}

TEST_F(VariantsTest, ConversionsFollowTheTable) {
  struct Case {
    const char* name;
    std::function<RuntimeObject*()> make;
    int32_t integer;
    bool boolean;
    double number;
    const char* text;
  };
  const Case cases[] = {
      {"Integer -5", [] { return intToVariant(-5); }, -5, true, -5.0, "-5"},
      {"Integer 0", [] { return intToVariant(0); }, 0, false, 0.0, "0"},
      {"Double 2.9", [] { return doubleToVariant(2.9); }, 2, true, 2.9, "2.9"},
      {"Double -2.9", [] { return doubleToVariant(-2.9); }, -2, true, -2.9, "-2.9"},
      {"Double 0.0", [] { return doubleToVariant(0.0); }, 0, false, 0.0, "0"},
      {"Boolean true", [] { return booleanToVariant(true); }, 1, true, 1.0, "True"},
      {"Boolean false", [] { return booleanToVariant(false); }, 0, false, 0.0, "False"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RuntimeObject* variant = c.make();
    EXPECT_EQ(variantToInt(variant), c.integer);
    EXPECT_EQ(variantToBoolean(variant), c.boolean);
    EXPECT_EQ(variantToDouble(variant), c.number);
    EXPECT_EQ(TextOf(variant), c.text);
    RuntimeUnlockObject(variant);
  }
  // NaN is not 0.0; Doubles outside the Integer range give the processor's 0x80000000.
  RuntimeObject* nan = doubleToVariant(std::nan(""));
  EXPECT_TRUE(variantToBoolean(nan));
  EXPECT_EQ(variantToInt(nan), INT32_MIN);
  RuntimeUnlockObject(nan);
  RuntimeObject* huge = doubleToVariant(1e12);
  EXPECT_EQ(variantToInt(huge), INT32_MIN);
  RuntimeUnlockObject(huge);
  ExpectBalanced();
}

TEST_F(VariantsTest, StringsObjectsAndNullConvertOnlyWhereTheTableSays) {
  RuntimeString* numeric = StringFromCString("12");
  RuntimeObject* item = NewInstance(itemClass);
  RuntimeObject* text = stringToVariant(numeric);
  RuntimeObject* object = objectToVariant(item);
  RuntimeObject* null = getNilVariant();
  EXPECT_EQ(numeric->count, 2);
  EXPECT_EQ(item->count, 2);
  EXPECT_EQ(TextOf(text), "12");
  RuntimeObject* back = variantToObject(object);
  EXPECT_EQ(back, item);
  RuntimeUnlockObject(back);

  struct Case {
    const char* name;
    std::function<void()> call;
    const char* exception;
  };
  const Case cases[] = {
      {"String to Integer", [&] { variantToInt(text); }, "typeMismatchException"},
      {"String to Boolean", [&] { variantToBoolean(text); }, "typeMismatchException"},
      {"String to Double", [&] { variantToDouble(text); }, "typeMismatchException"},
      {"String to Object", [&] { variantToObject(text); }, "typeMismatchException"},
      {"Object to String", [&] { variantToString(object); }, "typeMismatchException"},
      {"Object to Integer", [&] { variantToInt(object); }, "typeMismatchException"},
      {"Null to Double", [&] { variantToDouble(null); }, "typeMismatchException"},
      {"Null to String", [&] { variantToString(null); }, "typeMismatchException"},
      {"nil to Integer", [&] { variantToInt(nullptr); }, "NilObjectException"},
      {"nil to Object", [&] { variantToObject(nullptr); }, "NilObjectException"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EXIT(c.call(), ::testing::ExitedWithCode(0),
                std::string("An exception of class ") + c.exception + " was not handled");
  }
  RuntimeUnlockObject(text);
  RuntimeUnlockObject(object);
  RuntimeUnlockObject(null);
  EXPECT_EQ(numeric->count, 1) << "the destructor released the string";
  EXPECT_EQ(item->count, 1) << "the destructor released the object";
  StringRelease(numeric);
  RuntimeUnlockObject(item);
  ExpectBalanced();
}

TEST_F(VariantsTest, CollectionIndicesAreOneBasedAndKeysMatchTheFirstIgnoringCase) {
  RuntimeObject* collection = NewCollection();
  EXPECT_EQ(collectionCount(collection), 0);
  RuntimeString* lower = StringFromCString("a");
  RuntimeString* upper = StringFromCString("A");
  RuntimeObject* first = intToVariant(1);
  RuntimeObject* second = intToVariant(2);
  collectionAdd(collection, first, lower);
  collectionAdd(collection, second, upper);
  collectionAdd(collection, first, nullptr);
  EXPECT_EQ(collectionCount(collection), 3);
  EXPECT_EQ(first->count, 3);

  RuntimeObject* found = collectionItem(collection, upper);
  EXPECT_EQ(found, first);
  RuntimeUnlockObject(found);
  RuntimeString* missing = StringFromCString("b");
  EXPECT_EQ(collectionItem(collection, missing), nullptr);
  collectionKeyRemove(collection, missing);
  EXPECT_EQ(collectionCount(collection), 3);

  RuntimeObject* item = collectionIdxItem(collection, 2);
  EXPECT_EQ(item, second);
  RuntimeUnlockObject(item);

  collectionKeyRemove(collection, lower);  // the first entry only
  EXPECT_EQ(collectionCount(collection), 2);
  EXPECT_EQ(first->count, 2);
  found = collectionItem(collection, lower);
  EXPECT_EQ(found, second);
  RuntimeUnlockObject(found);
  collectionIdxRemove(collection, 1);
  item = collectionIdxItem(collection, 1);
  EXPECT_EQ(item, first) << "later entries move down";
  RuntimeUnlockObject(item);
  EXPECT_EQ(upper->count, 1);

  collectionAdd(collection, second, upper);
  RuntimeUnlockObject(collection);  // the destructor releases every key and value
  EXPECT_EQ(first->count, 1);
  EXPECT_EQ(second->count, 1);
  EXPECT_EQ(upper->count, 1);
  for (RuntimeString* s : {lower, upper, missing}) StringRelease(s);
  RuntimeUnlockObject(first);
  RuntimeUnlockObject(second);
  ExpectBalanced();
}

TEST_F(VariantsTest, CollectionIndicesOutsideOneToCountRaise) {
  RuntimeObject* empty = NewCollection();
  RuntimeObject* two = NewCollection();
  RuntimeObject* value = getNilVariant();
  collectionAdd(two, value, nullptr);
  collectionAdd(two, nullptr, nullptr);  // a nil value is held as nil
  struct Case {
    const char* name;
    std::function<void()> call;
  };
  const Case cases[] = {
      {"item 1 of an empty collection", [&] { collectionIdxItem(empty, 1); }},
      {"remove 1 of an empty collection", [&] { collectionIdxRemove(empty, 1); }},
      {"item 0", [&] { collectionIdxItem(two, 0); }},
      {"item count + 1", [&] { collectionIdxItem(two, 3); }},
      {"remove count + 1", [&] { collectionIdxRemove(two, 3); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_RAISES(c.call(), "OutOfBoundsException");
  }
  EXPECT_RAISES(collectionCount(nullptr), "NilObjectException");
  EXPECT_EQ(collectionIdxItem(two, 2), nullptr);
  RuntimeUnlockObject(value);
  RuntimeUnlockObject(empty);
  RuntimeUnlockObject(two);
  ExpectBalanced();
}

}  // namespace
