// The string library on a 1 MB text and the format function on a million doubles, each beside
// the plain C++ or C library doing the same work (case-sensitive std::string_view searches,
// snprintf). Run with KW_ANSI_CODE_PAGE=932 to measure the double-byte paths.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <cstdio>
#include <string>
#include <string_view>

#include "core/runtime_string.h"
#include "library/number_functions.h"
#include "library/string_functions.h"

namespace {

// "field0,Field1,field2,..." up to 1 MB.
const std::string& Text() {
  static const std::string text = [] {
    std::string made;
    for (int field = 0; made.size() < (1u << 20); field++) {
      made += field % 2 ? "Field" : "field";
      made += std::to_string(field);
      made += ',';
    }
    made.resize(1u << 20);
    return made;
  }();
  return text;
}

RuntimeString* Make(std::string_view bytes) {
  return StringFromBytes(bytes.data(), static_cast<int32_t>(bytes.size()));
}

void LibraryCountFields(benchmark::State& state) {
  RuntimeString* text = Make(Text());
  RuntimeString* comma = Make(",");
  for (auto _ : state) benchmark::DoNotOptimize(StringCountFields(text, comma));
  state.SetBytesProcessed(int64_t{state.iterations()} * (1 << 20));
  StringRelease(comma);
  StringRelease(text);
}
BENCHMARK(LibraryCountFields);

void StdCountFields(benchmark::State& state) {
  std::string_view text = Text();
  for (auto _ : state) {
    int32_t fields = 1;
    for (size_t found = text.find(','); found != std::string_view::npos; found = text.find(',', found + 1)) fields++;
    benchmark::DoNotOptimize(fields);
  }
  state.SetBytesProcessed(int64_t{state.iterations()} * (1 << 20));
}
BENCHMARK(StdCountFields);

// The field in the middle of the text: half of it is searched.
void LibraryNthField(benchmark::State& state) {
  RuntimeString* text = Make(Text());
  RuntimeString* comma = Make(",");
  int32_t middle = StringCountFields(text, comma) / 2;
  for (auto _ : state) StringRelease(StringNthField(text, comma, middle));
  StringRelease(comma);
  StringRelease(text);
}
BENCHMARK(LibraryNthField);

void StdNthField(benchmark::State& state) {
  std::string_view text = Text();
  size_t fields = 1;
  for (char c : text) fields += c == ',';
  size_t middle = fields / 2;
  for (auto _ : state) {
    size_t start = 0;
    for (size_t field = 1; field < middle; field++) start = text.find(',', start) + 1;
    std::string piece(text.substr(start, text.find(',', start) - start));
    benchmark::DoNotOptimize(piece);
  }
}
BENCHMARK(StdNthField);

// Every comma becomes "; " (about 90,000 replacements).
void LibraryReplaceAll(benchmark::State& state) {
  RuntimeString* text = Make(Text());
  RuntimeString* comma = Make(",");
  RuntimeString* replacement = Make("; ");
  for (auto _ : state) StringRelease(StringReplaceAll(text, comma, replacement));
  state.SetBytesProcessed(int64_t{state.iterations()} * (1 << 20));
  StringRelease(replacement);
  StringRelease(comma);
  StringRelease(text);
}
BENCHMARK(LibraryReplaceAll);

void StdReplaceAll(benchmark::State& state) {
  std::string_view text = Text();
  for (auto _ : state) {
    std::string result;
    size_t copied = 0;
    for (size_t found = text.find(','); found != std::string_view::npos; found = text.find(',', copied)) {
      result.append(text, copied, found - copied);
      result += "; ";
      copied = found + 1;
    }
    result.append(text, copied);
    benchmark::DoNotOptimize(result);
  }
  state.SetBytesProcessed(int64_t{state.iterations()} * (1 << 20));
}
BENCHMARK(StdReplaceAll);

constexpr int kDoubles = 1000000;

double NumberAt(int index) { return (index - kDoubles / 2) * 1234.5678 + index / 7.0; }

void LibraryFormat(benchmark::State& state, const char* text) {
  RuntimeString* pattern = Make(text);
  for (auto _ : state) {
    for (int index = 0; index < kDoubles; index++) StringRelease(StringFormat(NumberAt(index), pattern));
  }
  state.SetItemsProcessed(int64_t{state.iterations()} * kDoubles);
  StringRelease(pattern);
}
BENCHMARK_CAPTURE(LibraryFormat, Grouped, "#,##0.00")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(LibraryFormat, Plain, "0.00")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(LibraryFormat, Scientific, "Scientific")->Unit(benchmark::kMillisecond);

void SnprintfFormat(benchmark::State& state, const char* format) {
  char text[64];
  for (auto _ : state) {
    for (int index = 0; index < kDoubles; index++) {
      benchmark::DoNotOptimize(snprintf(text, sizeof text, format, NumberAt(index)));
      benchmark::ClobberMemory();
    }
  }
  state.SetItemsProcessed(int64_t{state.iterations()} * kDoubles);
}
BENCHMARK_CAPTURE(SnprintfFormat, Fixed, "%.2f")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(SnprintfFormat, Exponent, "%.6E")->Unit(benchmark::kMillisecond);

}  // namespace
int main(int argc, char** argv) {
  // Keep freed megabyte blocks in the C library's heap: otherwise each iteration may map fresh
  // pages or not, depending on the heap's history, and page faults swamp what is measured.
  mallopt(M_MMAP_THRESHOLD, 64 << 20);
  mallopt(M_TRIM_THRESHOLD, 256 << 20);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
