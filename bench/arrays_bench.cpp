// Appending to and sorting engine arrays against std::vector and std::sort on the same data:
// 1,000,000 random integers, and 100,000 random strings compared with the locale comparison
// (the comparison the string sort uses, so both sides compare alike); and a sort of equal keys.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <random>
#include <vector>

#include "core/arrays.h"
#include "core/runtime_string.h"
#include "library/string_functions.h"

namespace {

constexpr int32_t IntegerCount = 1000000;
constexpr int32_t StringCount = 100000;

const std::vector<int32_t>& Integers() {
  static std::vector<int32_t> values = [] {
    std::mt19937 random(7);
    std::vector<int32_t> made(IntegerCount);
    for (int32_t& value : made) value = static_cast<int32_t>(random());
    return made;
  }();
  return values;
}

const std::vector<RuntimeString*>& Strings() {
  static std::vector<RuntimeString*> values = [] {
    std::mt19937 random(11);
    std::vector<RuntimeString*> made;
    for (int32_t index = 0; index < StringCount; index++) {
      char text[12];
      int length = 4 + static_cast<int>(random() % 8);
      for (int at = 0; at < length; at++) text[at] = static_cast<char>((random() % 2 ? 'a' : 'A') + random() % 26);
      made.push_back(StringFromBytes(text, length));
    }
    return made;
  }();
  return values;
}

void ArrayAppendSortIntegers(benchmark::State& state) {
  const std::vector<int32_t>& values = Integers();
  for (auto _ : state) {
    RuntimeArray* array = RuntimeCreateArray();
    RuntimeArrayCreateAddIndex(array, 0, -1);
    for (int32_t value : values) RuntimeIntArrayAppend(array, value);
    RuntimeIntArraySort(array);
    benchmark::DoNotOptimize(RuntimeDirectReadIntArray(array, 0));
    RuntimeDisposeIntArray(array);
  }
  state.SetItemsProcessed(state.iterations() * IntegerCount);
}
BENCHMARK(ArrayAppendSortIntegers)->Unit(benchmark::kMillisecond);

void VectorAppendSortIntegers(benchmark::State& state) {
  const std::vector<int32_t>& values = Integers();
  for (auto _ : state) {
    std::vector<int32_t> vector;
    for (int32_t value : values) vector.push_back(value);
    std::sort(vector.begin(), vector.end());
    benchmark::DoNotOptimize(vector.front());
  }
  state.SetItemsProcessed(state.iterations() * IntegerCount);
}
BENCHMARK(VectorAppendSortIntegers)->Unit(benchmark::kMillisecond);

void ArrayAppendSortStrings(benchmark::State& state) {
  const std::vector<RuntimeString*>& values = Strings();
  for (auto _ : state) {
    RuntimeArray* array = RuntimeCreateArray();
    RuntimeArrayCreateAddIndex(array, 0, -1);
    for (RuntimeString* value : values) RuntimeStringArrayAppend(array, value);
    RuntimeStringArraySort(array);
    RuntimeDisposeStringArray(array);
  }
  state.SetItemsProcessed(state.iterations() * StringCount);
}
BENCHMARK(ArrayAppendSortStrings)->Unit(benchmark::kMillisecond);

void VectorAppendSortStrings(benchmark::State& state) {
  const std::vector<RuntimeString*>& values = Strings();
  for (auto _ : state) {
    std::vector<RuntimeString*> vector;
    for (RuntimeString* value : values) vector.push_back(StringRetain(value));
    std::sort(vector.begin(), vector.end(), [](RuntimeString* a, RuntimeString* b) { return StringStrCompare(a, b, 1) < 0; });
    for (RuntimeString* value : vector) StringRelease(value);
  }
  state.SetItemsProcessed(state.iterations() * StringCount);
}
BENCHMARK(VectorAppendSortStrings)->Unit(benchmark::kMillisecond);

// Many equal keys: every entry not greater than the pivot goes left, so an array of equal
// elements partitions one entry at a time (quadratic), where std::sort stays n log n.
constexpr int32_t EqualCount = 20000;

void ArraySortEqualIntegers(benchmark::State& state) {
  for (auto _ : state) {
    RuntimeArray* array = RuntimeCreateArray();
    RuntimeArrayCreateAddIndex(array, 0, EqualCount - 1);  // unwritten: all zeros
    RuntimeIntArraySort(array);
    RuntimeDisposeIntArray(array);
  }
  state.SetItemsProcessed(state.iterations() * EqualCount);
}
BENCHMARK(ArraySortEqualIntegers)->Unit(benchmark::kMillisecond);

void VectorSortEqualIntegers(benchmark::State& state) {
  for (auto _ : state) {
    std::vector<int32_t> vector(EqualCount, 0);
    std::sort(vector.begin(), vector.end());
    benchmark::DoNotOptimize(vector.front());
  }
  state.SetItemsProcessed(state.iterations() * EqualCount);
}
BENCHMARK(VectorSortEqualIntegers)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
