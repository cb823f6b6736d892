// String concatenation and pieces against std::string doing the same work.
#include <benchmark/benchmark.h>

#include <string>

#include "core/runtime_string.h"

namespace {

const char Sentence[] = "The quick brown fox jumps over the lazy dog";

void RuntimeConcatenate(benchmark::State& state) {
  RuntimeString* a = StringFromCString("Hello, ");
  RuntimeString* b = StringFromCString(Sentence);
  for (auto _ : state) {
    RuntimeString* sum = StringConcatenate(a, b);
    benchmark::DoNotOptimize(sum);
    StringRelease(sum);
  }
  StringRelease(a);
  StringRelease(b);
}
BENCHMARK(RuntimeConcatenate);

void StdConcatenate(benchmark::State& state) {
  std::string a = "Hello, ";
  std::string b = Sentence;
  for (auto _ : state) {
    std::string sum = a + b;
    benchmark::DoNotOptimize(sum);
  }
}
BENCHMARK(StdConcatenate);

void RuntimeLeft(benchmark::State& state) {
  RuntimeString* s = StringFromCString(Sentence);
  int32_t n = 1;
  for (auto _ : state) {
    RuntimeString* piece = StringTakeLeft(s, n);
    benchmark::DoNotOptimize(piece);
    StringRelease(piece);
    n = n % 40 + 1;
  }
  StringRelease(s);
}
BENCHMARK(RuntimeLeft);

void StdLeft(benchmark::State& state) {
  std::string s = Sentence;
  size_t n = 1;
  for (auto _ : state) {
    std::string piece = s.substr(0, n);
    benchmark::DoNotOptimize(piece);
    n = n % 40 + 1;
  }
}
BENCHMARK(StdLeft);

void RuntimeMiddle(benchmark::State& state) {
  RuntimeString* s = StringFromCString(Sentence);
  int32_t start = 0;
  for (auto _ : state) {
    RuntimeString* piece = StringTakeMiddle(s, start, 20);
    benchmark::DoNotOptimize(piece);
    StringRelease(piece);
    start = (start + 1) % 20;
  }
  StringRelease(s);
}
BENCHMARK(RuntimeMiddle);

void StdMiddle(benchmark::State& state) {
  std::string s = Sentence;
  size_t start = 0;
  for (auto _ : state) {
    std::string piece = s.substr(start, 20);
    benchmark::DoNotOptimize(piece);
    start = (start + 1) % 20;
  }
}
BENCHMARK(StdMiddle);

// Building a long text piece by piece, as application code appends in a loop.
void RuntimeAppendLoop(benchmark::State& state) {
  RuntimeString* piece = StringFromCString("word ");
  for (auto _ : state) {
    RuntimeString* text = nullptr;
    for (int step = 0; step < 100; step++) {
      RuntimeString* longer = StringConcatenate(text, piece);
      StringRelease(text);
      text = longer;
    }
    benchmark::DoNotOptimize(text);
    StringRelease(text);
  }
  StringRelease(piece);
}
BENCHMARK(RuntimeAppendLoop);

void StdAppendLoop(benchmark::State& state) {
  std::string piece = "word ";
  for (auto _ : state) {
    std::string text;
    for (int step = 0; step < 100; step++) text = text + piece;
    benchmark::DoNotOptimize(text);
  }
}
BENCHMARK(StdAppendLoop);

}  // namespace

BENCHMARK_MAIN();
