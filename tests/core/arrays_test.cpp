#include "core/arrays.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "core/class_registry.h"
#include "core/exceptions.h"
#include "core/memory_manager.h"
#include "core/object_model.h"
#include "core/runtime_string.h"
#include "library/string_functions.h"
#include "tests/core/core_test_support.h"

namespace {

RuntimeArray* NewArray(std::vector<int32_t> bounds) {
  RuntimeArray* array = RuntimeCreateArray();
  for (int32_t bound : bounds) RuntimeArrayCreateAddIndex(array, 0, bound);
  return array;
}


// Reads a string element and gives back the reference the read handed out.
std::string ReadString(RuntimeArray* array, int32_t index) {
  RuntimeString* s = RuntimeDirectReadStringArray(array, index);
  std::string text = Text(s);
  StringRelease(s);
  return text;
}

std::vector<int32_t> Ints(RuntimeArray* array) {
  std::vector<int32_t> values;
  for (int32_t index = 0; index <= RuntimeUBound(array); index++) values.push_back(RuntimeDirectReadIntArray(array, index));
  return values;
}

using ArraysTest = BalancedTest;

TEST_F(ArraysTest, StorageIsAllocatedOnWritesOnlyAndAheadOfTheIndex) {
  RuntimeArray* array = NewArray({9});
  EXPECT_EQ(RuntimeUBound(array), 9);
  for (int32_t index = 0; index <= 9; index++) EXPECT_EQ(RuntimeDirectReadIntArray(array, index), 0);
  EXPECT_EQ(array->elements.storage, nullptr) << "reading allocates nothing";

  RuntimeDirectWriteIntArray(array, 3, 33);
  EXPECT_EQ(array->elements.count, 10) << "min(3 + 16, 10) entries";
  EXPECT_EQ(RuntimeDirectReadIntArray(array, 3), 33);
  EXPECT_EQ(RuntimeDirectReadIntArray(array, 9), 0);
  RuntimeDisposeIntArray(array);

  RuntimeArray* large = NewArray({99});
  RuntimeDirectWriteDoubleArray(large, 0, 1.5);
  EXPECT_EQ(large->elements.count, 16);
  EXPECT_EQ(large->elements.elementSize, 8);
  RuntimeDisposeIntArray(large);
  ExpectBalanced();
}

TEST_F(ArraysTest, SingleValuesAreStoredAsFloat) {
  RuntimeArray* array = NewArray({1});
  RuntimeDirectWriteSingleArray(array, 1, 0.1);
  EXPECT_EQ(RuntimeDirectReadSingleArray(array, 1), static_cast<double>(0.1f));
  EXPECT_EQ(array->elements.elementSize, 4);
  RuntimeDisposeIntArray(array);
  ExpectBalanced();
}

TEST_F(ArraysTest, AppendInsertAndRemoveMoveElementsAndTheBound) {
  RuntimeArray* array = NewArray({-1});
  RuntimeIntArrayAppend(array, 7);
  EXPECT_EQ(Ints(array), (std::vector<int32_t>{7}));
  RuntimeDisposeIntArray(array);

  struct Case {
    const char* name;
    std::function<void(RuntimeArray*)> change;
    std::vector<int32_t> expected;
  };
  const Case cases[] = {
      {"remove 2 of ten", [](RuntimeArray* a) { RuntimeIntArrayRemove(a, 2); }, {0, 1, 3, 4, 5, 6, 7, 8, 9}},
      {"remove the last", [](RuntimeArray* a) { RuntimeIntArrayRemove(a, 9); }, {0, 1, 2, 3, 4, 5, 6, 7, 8}},
      {"insert at 0", [](RuntimeArray* a) { RuntimeIntArrayInsert(a, 0, 42); }, {42, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9}},
      {"insert at 9", [](RuntimeArray* a) { RuntimeIntArrayInsert(a, 9, 42); }, {0, 1, 2, 3, 4, 5, 6, 7, 8, 42, 9}},
      {"append", [](RuntimeArray* a) { RuntimeIntArrayAppend(a, 42); }, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 42}},
  };
  for (const Case& c : cases) {
    RuntimeArray* ten = NewArray({9});
    for (int32_t index = 0; index <= 9; index++) RuntimeDirectWriteIntArray(ten, index, index);
    c.change(ten);
    EXPECT_EQ(Ints(ten), c.expected) << c.name;
    RuntimeDisposeIntArray(ten);
  }

  // Lazily held vectors: the unwritten elements before the position read as 0.
  RuntimeArray* sparse = NewArray({40});
  RuntimeIntArrayInsert(sparse, 30, 5);
  RuntimeIntArrayRemove(sparse, 35);
  RuntimeIntArrayAppend(sparse, 6);
  std::vector<int32_t> expected(42, 0);
  expected[30] = 5;
  expected[41] = 6;
  EXPECT_EQ(Ints(sparse), expected);
  RuntimeDisposeIntArray(sparse);

  RuntimeArray* reals = NewArray({2});
  for (int32_t index = 0; index <= 2; index++) RuntimeDirectWriteDoubleArray(reals, index, index + 0.5);
  RuntimeIntArrayRemove(reals, 0);  // the removal service of Double arrays too
  EXPECT_EQ(RuntimeUBound(reals), 1);
  EXPECT_EQ(RuntimeDirectReadDoubleArray(reals, 0), 1.5);
  EXPECT_EQ(RuntimeDirectReadDoubleArray(reals, 1), 2.5);
  RuntimeDisposeIntArray(reals);
  ExpectBalanced();
}

TEST_F(ArraysTest, StringElementsHoldOneReferenceEach) {
  RuntimeString* kept = StringFromCString("kept");
  RuntimeArray* array = NewArray({9});
  for (int32_t index = 0; index <= 9; index++) RuntimeDirectWriteStringArray(array, index, kept);
  EXPECT_EQ(kept->count, 11);
  RuntimeDirectWriteStringArray(array, 0, kept);  // into its own place
  EXPECT_EQ(kept->count, 11);
  EXPECT_EQ(ReadString(array, 0), "kept");

  RuntimeRedimStringArrayLevel(array, 0, 4);
  EXPECT_EQ(kept->count, 6) << "elements 5..9 released";
  EXPECT_EQ(RuntimeUBound(array), 4);
  RuntimeRedimStringArrayLevel(array, 0, 9);
  EXPECT_EQ(ReadString(array, 7), "") << "raising the bound brings back nothing";

  RuntimeStringArrayRemove(array, 1);
  RuntimeStringArrayInsert(array, 2, nullptr);
  RuntimeStringArrayAppend(array, kept);
  EXPECT_EQ(kept->count, 6);
  RuntimeDisposeStringArray(array);
  EXPECT_EQ(kept->count, 1);
  StringRelease(kept);
  ExpectBalanced();
}

TEST_F(ArraysTest, ObjectElementsHoldOneReferenceEachAndDisposeReleasesThem) {
  RuntimeObject* item = NewInstance(itemClass);
  RuntimeArray* array = NewArray({3});
  RuntimeDirectWriteObjectArray(array, 0, item);
  RuntimeObjectArrayAppend(array, item);
  RuntimeObject* other = NewInstance(itemClass);
  RuntimeObjectArrayInsert(array, 1, other);
  RuntimeUnlockObject(other);  // the array holds the only reference now
  EXPECT_EQ(RuntimeDirectReadObjectArray(array, 3), nullptr);
  EXPECT_EQ(item->count, 3);
  RuntimeObject* read = RuntimeDirectReadObjectArray(array, 0);
  EXPECT_EQ(read, item);
  EXPECT_EQ(item->count, 4);
  RuntimeUnlockObject(read);
  RuntimeObjectArrayRemove(array, 0);
  EXPECT_EQ(item->count, 2);
  RuntimeRedimObjectArrayLevel(array, 0, 0);
  EXPECT_EQ(LiveObjectCount(), objectsBefore + 2) << "element 0 keeps the other item alive";
  RuntimeDisposeObjectArray(array);
  EXPECT_EQ(item->count, 1);
  RuntimeUnlockObject(item);
  ExpectBalanced();
}

TEST_F(ArraysTest, MultiDimensionalReadsCreateNothingAndWritesCreateTheVectors) {
  RuntimeArray* array = NewArray({4, 5});
  RuntimeArrayStartReadAccess(array, 2);
  EXPECT_EQ(array->accessVector, nullptr);
  EXPECT_EQ(RuntimeReadIntArray(array, 3), 0);
  EXPECT_EQ(array->elements.storage, nullptr) << "a read creates nothing";

  RuntimeArrayStartWriteAccess(array, 2);
  RuntimeWriteIntArray(array, 3, 23);
  EXPECT_EQ(array->elements.count, 3) << "extended to exactly i + 1";
  ElementVector* row = *static_cast<ElementVector**>(VectorEntry(&array->elements, 2));
  ASSERT_NE(row, nullptr);
  EXPECT_EQ(row->count, 4);
  RuntimeArrayStartReadAccess(array, 2);
  EXPECT_EQ(RuntimeReadIntArray(array, 3), 23);
  RuntimeArrayStartReadAccess(array, 2);
  EXPECT_EQ(RuntimeReadIntArray(array, 5), 0) << "an unwritten entry of an existing vector";
  RuntimeDisposeIntArray(array);

  RuntimeString* text = StringFromCString("deep");
  RuntimeArray* cube = NewArray({2, 2, 2});
  RuntimeArrayStartWriteAccess(cube, 1);
  RuntimeArrayAddWriteIndex(cube, 2);
  RuntimeWriteStringArray(cube, 0, text);
  RuntimeArrayStartReadAccess(cube, 1);
  RuntimeArrayAddReadIndex(cube, 2);
  RuntimeString* read = RuntimeReadStringArray(cube, 0);
  EXPECT_EQ(Text(read), "deep");
  StringRelease(read);
  RuntimeArrayStartReadAccess(cube, 0);
  RuntimeArrayAddReadIndex(cube, 7);  // past a missing vector only the level counts
  EXPECT_EQ(RuntimeReadStringArray(cube, 1), nullptr);
  EXPECT_EQ(text->count, 2);

  RuntimeRedimStringArrayLevel(cube, 1, 1);  // drops the vector at [1][2]
  EXPECT_EQ(text->count, 1);
  RuntimeRedimStringArrayLevel(cube, 1, 2);
  RuntimeArrayStartReadAccess(cube, 1);
  RuntimeArrayAddReadIndex(cube, 2);
  EXPECT_EQ(RuntimeReadStringArray(cube, 0), nullptr);
  RuntimeArrayStartWriteAccess(cube, 1);
  RuntimeArrayAddWriteIndex(cube, 2);
  RuntimeWriteStringArray(cube, 2, text);
  RuntimeRedimStringArrayLevel(cube, 0, 0);  // drops the whole subtree under [1]
  EXPECT_EQ(text->count, 1);
  RuntimeArrayStartWriteAccess(cube, 0);
  RuntimeArrayAddWriteIndex(cube, 0);
  RuntimeWriteStringArray(cube, 0, text);
  RuntimeDisposeStringArray(cube);
  EXPECT_EQ(text->count, 1);
  StringRelease(text);
  ExpectBalanced();
}

TEST_F(ArraysTest, NumbersSortAscendingWithUnwrittenElementsAsZero) {
  struct Case {
    std::vector<int32_t> written;
    int32_t upperBound;
  };
  std::vector<int32_t> many;
  for (int32_t index = 0; index < 200; index++) many.push_back((index * 7919) % 101 - 50);
  const Case cases[] = {
      {{5, -3, 9}, 4},  // elements 3 and 4 take part as zeros
      {{3, 1, 2}, 2},   {{1}, 0}, {{}, -1}, {{2, 2, 1, 1, 2}, 4}, {{6, 5, 4, 3, 2, 1}, 5},
      {{1, 2, 3, 4, 5, 6, 7}, 6}, {{9, 9, 9, 9, 9, 9, 9, 9}, 7}, {many, 199},
  };
  for (const Case& c : cases) {
    RuntimeArray* ints = NewArray({c.upperBound});
    RuntimeArray* doubles = NewArray({c.upperBound});
    RuntimeArray* singles = NewArray({c.upperBound});
    for (size_t index = 0; index < c.written.size(); index++) {
      RuntimeDirectWriteIntArray(ints, static_cast<int32_t>(index), c.written[index]);
      RuntimeDirectWriteDoubleArray(doubles, static_cast<int32_t>(index), c.written[index] / 4.0);
      RuntimeDirectWriteSingleArray(singles, static_cast<int32_t>(index), c.written[index] / 4.0);
    }
    std::vector<int32_t> expected = c.written;
    expected.resize(static_cast<size_t>(c.upperBound + 1), 0);
    std::sort(expected.begin(), expected.end());
    RuntimeIntArraySort(ints);
    RuntimeDoubleArraySort(doubles);
    RuntimeSingleArraySort(singles);
    EXPECT_EQ(Ints(ints), expected) << "bound " << c.upperBound;
    for (int32_t index = 0; index <= c.upperBound; index++) {
      EXPECT_EQ(RuntimeDirectReadDoubleArray(doubles, index), expected[static_cast<size_t>(index)] / 4.0);
      EXPECT_EQ(RuntimeDirectReadSingleArray(singles, index), expected[static_cast<size_t>(index)] / 4.0);
    }
    RuntimeDisposeIntArray(ints);
    RuntimeDisposeIntArray(doubles);
    RuntimeDisposeIntArray(singles);
  }
  ExpectBalanced();
}

TEST_F(ArraysTest, LongRunsOfEqualKeysSortInLinearTime) {
  // 300,000 unwritten zeros and a few others: a partition that sends every equal key to one
  // side would take some 4.5e10 steps here and never finish under the test's time limit.
  RuntimeArray* ints = NewArray({299999});
  RuntimeDirectWriteIntArray(ints, 150000, -1);
  RuntimeDirectWriteIntArray(ints, 7, 1);
  RuntimeIntArraySort(ints);
  std::vector<int32_t> values = Ints(ints);
  EXPECT_EQ(values.front(), -1);
  EXPECT_EQ(values.back(), 1);
  EXPECT_TRUE(std::is_sorted(values.begin(), values.end()));
  RuntimeDisposeIntArray(ints);
  ExpectBalanced();
}

TEST_F(ArraysTest, StringsSortByTheLocaleComparisonAndKeepTheirReferences) {
  const std::vector<std::vector<std::string>> cases = {
      {"pear", "Apple", "apple", "banana", "", "cherry", "Banana", "date", "fig"},
      {"b", "a"},
      {"same", "same", "same", "same", "same", "same", "same"},
  };
  for (const auto& words : cases) {
    int32_t upperBound = static_cast<int32_t>(words.size());  // one unwritten element: ""
    RuntimeArray* array = NewArray({upperBound});
    std::vector<RuntimeString*> strings;
    for (size_t index = 0; index < words.size(); index++) {
      strings.push_back(StringFromCString(words[index].c_str()));
      RuntimeDirectWriteStringArray(array, static_cast<int32_t>(index), strings.back());
    }
    RuntimeStringArraySort(array);
    for (int32_t index = 0; index < upperBound; index++) {
      RuntimeString* a = RuntimeDirectReadStringArray(array, index);
      RuntimeString* b = RuntimeDirectReadStringArray(array, index + 1);
      EXPECT_LE(StringStrCompare(a, b, 1), 0) << Text(a) << " before " << Text(b);
      StringRelease(a);
      StringRelease(b);
    }
    EXPECT_EQ(ReadString(array, 0), "");
    for (RuntimeString* s : strings) {
      if (s) {
        EXPECT_EQ(s->count, 2);
      }
    }
    RuntimeDisposeStringArray(array);
    for (RuntimeString* s : strings) {
      if (s) {
        EXPECT_EQ(s->count, 1);
      }
      StringRelease(s);
    }
  }
  ExpectBalanced();
}

TEST_F(ArraysTest, FastBooleanArrays) {
  MemoryHandle* flags = RuntimeCreateFastBooleanArray(3);
  EXPECT_EQ(RuntimeFastArrayUBound(flags), 3);
  EXPECT_EQ(HandleSize(flags), 8);
  RuntimeFastWriteBoolArray(flags, 1, true);
  RuntimeFastWriteBoolArray(flags, 3, true);
  RuntimeFastBooleanArrayInsert(flags, 4, true);  // at the count: allowed
  RuntimeFastBooleanArrayInsert(flags, 0, true);
  RuntimeFastBooleanArrayRemove(flags, 2);
  RuntimeFastBooleanArrayAppend(flags, false);
  std::vector<bool> values;
  for (int32_t index = 0; index <= RuntimeFastArrayUBound(flags); index++) values.push_back(RuntimeFastReadBoolArray(flags, index));
  EXPECT_EQ(values, (std::vector<bool>{true, false, false, true, true, false}));
  RuntimeRedimFastBoolArray(flags, 1);
  RuntimeRedimFastBoolArray(flags, 3);
  EXPECT_EQ(HandleSize(flags), 8);
  EXPECT_FALSE(RuntimeFastReadBoolArray(flags, 2)) << "bytes added by a redim are false";
  EXPECT_TRUE(RuntimeFastReadBoolArray(flags, 0));
  RuntimeRedimFastBoolArray(flags, -1);
  RuntimeFastBooleanArrayAppend(flags, true);
  EXPECT_EQ(RuntimeFastArrayUBound(flags), 0);
  RuntimeDisposeFastBooleanArray(flags);
  ExpectBalanced();
}

TEST_F(ArraysTest, IndicesOutsideTheBoundsAndMisusedArraysRaiseOutOfBounds) {
  RuntimeArray* ten = NewArray({9});
  RuntimeArray* grid = NewArray({2, 2});
  RuntimeArray* undeclared = RuntimeCreateArray();
  RuntimeArray* twenty = NewArray(std::vector<int32_t>(20, 1));
  MemoryHandle* flags = RuntimeCreateFastBooleanArray(3);
  RuntimeString* text = StringFromCString("x");
  struct Case {
    const char* name;
    std::function<void()> call;
  };
  const Case cases[] = {
      {"write 10", [&] { RuntimeDirectWriteIntArray(ten, 10, 1); }},
      {"write -1", [&] { RuntimeDirectWriteStringArray(ten, -1, text); }},
      {"read 10", [&] { RuntimeDirectReadDoubleArray(ten, 10); }},
      {"read of nil", [&] { RuntimeDirectReadIntArray(nullptr, 0); }},
      {"write of nil", [&] { RuntimeDirectWriteObjectArray(nullptr, 0, nullptr); }},
      {"Integer read of two dimensions", [&] { RuntimeDirectReadIntArray(grid, 0); }},
      {"String write of two dimensions", [&] { RuntimeDirectWriteStringArray(grid, 0, text); }},
      {"read of no dimensions", [&] { RuntimeDirectReadIntArray(undeclared, 0); }},
      {"UBound of no dimensions", [&] { RuntimeUBound(undeclared); }},
      {"insert at ub + 1", [&] { RuntimeIntArrayInsert(ten, 10, 1); }},
      {"remove at ub + 1", [&] { RuntimeStringArrayRemove(ten, 10); }},
      {"append to nil", [&] { RuntimeIntArrayAppend(nullptr, 1); }},
      {"sort of two dimensions", [&] { RuntimeIntArraySort(grid); }},
      {"start beyond the first bound", [&] { RuntimeArrayStartWriteAccess(grid, 3); }},
      {"start on one dimension", [&] { RuntimeArrayStartReadAccess(ten, 0); }},
      {"final step beyond the last bound", [&] {
         RuntimeArrayStartWriteAccess(grid, 0);
         RuntimeWriteIntArray(grid, 3, 1);
       }},
      {"final step without a start", [&] { RuntimeReadIntArray(grid, 0); }},
      {"one index too many", [&] {
         RuntimeArrayStartWriteAccess(grid, 0);
         RuntimeArrayAddWriteIndex(grid, 0);
       }},
      {"String read past a missing vector", [&] {
         RuntimeArrayStartReadAccess(grid, 1);
         RuntimeReadStringArray(grid, 3);
       }},
      {"a 21st dimension", [&] { RuntimeArrayCreateAddIndex(twenty, 0, 1); }},
      {"redim of an undeclared level", [&] { RuntimeRedimIntArrayLevel(grid, 2, 5); }},
      {"fast read 4", [&] { RuntimeFastReadBoolArray(flags, 4); }},
      {"fast insert 5", [&] { RuntimeFastBooleanArrayInsert(flags, 5, true); }},
      {"fast remove 4", [&] { RuntimeFastBooleanArrayRemove(flags, 4); }},
      {"fast write of nil", [&] { RuntimeFastWriteBoolArray(nullptr, 0, true); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_RAISES(c.call(), "OutOfBoundsException");
  }
  // The String read of a missing vector does test its index; the Integer read does not.
  RuntimeArrayStartReadAccess(grid, 1);
  EXPECT_EQ(RuntimeReadIntArray(grid, 3), 0);
  // A Double write to an Integer array would run past its storage.
  RuntimeDirectWriteIntArray(ten, 0, 1);
  EXPECT_RAISES(RuntimeDirectWriteDoubleArray(ten, 0, 1.0), "typeMismatchException");
  RuntimeDisposeIntArray(ten);
  RuntimeDisposeIntArray(grid);
  RuntimeDisposeIntArray(undeclared);
  RuntimeDisposeIntArray(twenty);
  RuntimeDisposeIntArray(nullptr);
  RuntimeDisposeFastBooleanArray(flags);
  StringRelease(text);
  ExpectBalanced();
}

}  // namespace
