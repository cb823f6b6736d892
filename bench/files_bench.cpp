// Writing and reading back a 100 MB binary file through BinaryStream in 4-byte and 64 KB pieces,
// and 1,000,000 lines through the text streams. Each run also does the same work with plain
// fwrite/fread (fgets for lines) and reports the stream's time as a ratio to it.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "core/object_model.h"
#include "core/runtime_string.h"
#include "files/folder_item.h"
#include "files/streams.h"
#include "platform/kernel/paths.h"

namespace {

constexpr int32_t kFileBytes = 100 * 1024 * 1024;
constexpr int32_t kLines = 1000000;

struct Scratch {
  Scratch() {
    char pattern[] = "/tmp/kwbenchXXXXXX";
    host = mkdtemp(pattern);
    windows = kwplatform::WindowsPathFromHostPath(host);
  }
  ~Scratch() { std::filesystem::remove_all(host); }
  std::string host;
  std::string windows;
};

double Seconds(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// fwrite then fread of the same bytes in the same pieces.
double StdioBinary(const std::string& path, int32_t piece) {
  std::vector<char> bytes(static_cast<size_t>(piece), 'b');
  auto start = std::chrono::steady_clock::now();
  FILE* out = fopen(path.c_str(), "wb");
  for (int32_t done = 0; done < kFileBytes; done += piece) fwrite(bytes.data(), 1, bytes.size(), out);
  fclose(out);
  FILE* in = fopen(path.c_str(), "rb");
  while (fread(bytes.data(), 1, bytes.size(), in) == bytes.size()) benchmark::DoNotOptimize(bytes.data());
  fclose(in);
  return Seconds(start);
}

void BinaryStreamRoundTrip(benchmark::State& state) {
  const int32_t piece = static_cast<int32_t>(state.range(0));
  Scratch scratch;
  RuntimeObject* item = NewFolderItem((scratch.windows + "\\data.bin").c_str());
  std::string text(static_cast<size_t>(piece), 'b');
  RuntimeString* block = StringFromBytes(text.data(), piece);
  double streamSeconds = 0;
  for (auto _ : state) {
    auto start = std::chrono::steady_clock::now();
    RuntimeObject* stream = FolderItemCreateBinaryFile(item, nullptr);
    for (int32_t done = 0; done < kFileBytes; done += piece) {
      if (piece == 4)
        BinaryStreamWriteLong(stream, done);
      else
        BinaryStreamWrite(stream, block);
    }
    BinaryStreamClose(stream);
    RuntimeUnlockObject(stream);
    stream = FolderItemOpenBinaryFile(item, false);
    for (int32_t done = 0; done < kFileBytes; done += piece) {
      if (piece == 4) {
        benchmark::DoNotOptimize(BinaryStreamReadLong(stream));
      } else {
        RuntimeString* got = BinaryStreamRead(stream, piece);
        benchmark::DoNotOptimize(got);
        StringRelease(got);
      }
    }
    BinaryStreamClose(stream);
    RuntimeUnlockObject(stream);
    streamSeconds += Seconds(start);
  }
  double stdioSeconds = StdioBinary(scratch.host + "/plain.bin", piece);
  state.counters["ratio_to_stdio"] = streamSeconds / static_cast<double>(state.iterations()) / stdioSeconds;
  state.SetBytesProcessed(2LL * kFileBytes * state.iterations());
  StringRelease(block);
  RuntimeUnlockObject(item);
}
BENCHMARK(BinaryStreamRoundTrip)->Arg(4)->Arg(64 * 1024)->Iterations(1)->Unit(benchmark::kMillisecond);

double StdioLines(const std::string& path, const std::string& line) {
  auto start = std::chrono::steady_clock::now();
  FILE* out = fopen(path.c_str(), "wb");
  for (int32_t index = 0; index < kLines; index++) {
    fwrite(line.data(), 1, line.size(), out);
    fwrite("\r\n", 1, 2, out);
  }
  fclose(out);
  FILE* in = fopen(path.c_str(), "rb");
  char buffer[256];
  while (fgets(buffer, sizeof buffer, in)) benchmark::DoNotOptimize(buffer);
  fclose(in);
  return Seconds(start);
}

void TextStreamLines(benchmark::State& state) {
  Scratch scratch;
  RuntimeObject* item = NewFolderItem((scratch.windows + "\\lines.txt").c_str());
  const std::string text = "A line of text of about the usual length, number";
  RuntimeString* line = StringFromCString(text.c_str());
  double streamSeconds = 0;
  for (auto _ : state) {
    auto start = std::chrono::steady_clock::now();
    RuntimeObject* out = FolderItemCreateTextFile(item);
    for (int32_t index = 0; index < kLines; index++) TextOutputStreamWriteLine(out, line);
    TextOutputStreamClose(out);
    RuntimeUnlockObject(out);
    RuntimeObject* in = FolderItemOpenTextFile(item);
    for (int32_t index = 0; index < kLines; index++) {
      RuntimeString* got = TextInputStreamReadLine(in);
      benchmark::DoNotOptimize(got);
      StringRelease(got);
    }
    TextInputStreamClose(in);
    RuntimeUnlockObject(in);
    streamSeconds += Seconds(start);
  }
  double stdioSeconds = StdioLines(scratch.host + "/plain.txt", text);
  state.counters["ratio_to_stdio"] = streamSeconds / static_cast<double>(state.iterations()) / stdioSeconds;
  StringRelease(line);
  RuntimeUnlockObject(item);
}
BENCHMARK(TextStreamLines)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
