// Linking an image that names every service of the table, with 100,000 call sites spread over
// those names, against just reading the same image bytes from a file.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "core/runtime_string.h"
#include "loader/code_fixups.h"
#include "loader/service_table.h"

namespace {

constexpr int CallSites = 100000;

struct SyntheticImage {
  std::vector<uint8_t> code;
  std::vector<uint8_t> fixups;
};

// Call sites of 5 bytes each (E8 + operand), dealt round-robin to the distinct table names, each
// name's sites chained in code order.
SyntheticImage MakeImage() {
  std::vector<std::string> names;
  for (const ServiceEntry& row : ServiceTable) {
    if (row.name == nullptr) continue;
    bool seen = false;
    for (const std::string& name : names) seen = seen || name == row.name;
    if (!seen) names.push_back(row.name);
  }
  SyntheticImage image;
  image.code.assign(static_cast<size_t>(CallSites) * 5 + 16, 0x90);
  std::vector<uint32_t> lastSite(names.size(), 0), firstSite(names.size(), 0);
  for (int site = 0; site < CallSites; site++) {
    uint32_t operand = static_cast<uint32_t>(site) * 5 + 1;
    size_t name = static_cast<size_t>(site) % names.size();
    image.code[operand - 1] = 0xE8;
    memset(&image.code[operand], 0, 4);  // the end of the chain until a later site links in
    if (lastSite[name])
      memcpy(&image.code[lastSite[name]], &operand, 4);
    else
      firstSite[name] = operand;
    lastSite[name] = operand;
  }
  for (size_t name = 0; name < names.size(); name++) {
    image.fixups.push_back(0x01);
    for (int shift = 0; shift < 32; shift += 8) image.fixups.push_back(static_cast<uint8_t>(firstSite[name] >> shift));
    image.fixups.push_back(static_cast<uint8_t>(names[name].size()));
    image.fixups.insert(image.fixups.end(), names[name].begin(), names[name].end());
  }
  return image;
}

const SyntheticImage& TheImage() {
  static SyntheticImage image = MakeImage();
  return image;
}

void LinkAllServices(benchmark::State& state) {
  const SyntheticImage& source = TheImage();
  std::vector<uint8_t> code;
  for (auto _ : state) {
    state.PauseTiming();
    code = source.code;
    state.ResumeTiming();
    ApplicationImage image{};
    image.codeBase = code.data();
    image.codeSize = static_cast<uint32_t>(code.size());
    RuntimeString* message = nullptr;
    if (!ApplyCodeFixups(image, source.fixups.data(), static_cast<uint32_t>(source.fixups.size()), &message))
      state.SkipWithError(StringCText(message));
    benchmark::DoNotOptimize(code.data());
  }
}
BENCHMARK(LinkAllServices)->Unit(benchmark::kMillisecond);

void ReadImageBytes(benchmark::State& state) {
  const SyntheticImage& source = TheImage();
  char path[] = "/tmp/kw_image_bench_XXXXXX";
  int descriptor = mkstemp(path);
  FILE* file = fdopen(descriptor, "wb");
  fwrite(source.code.data(), 1, source.code.size(), file);
  fwrite(source.fixups.data(), 1, source.fixups.size(), file);
  fclose(file);
  std::vector<uint8_t> bytes(source.code.size() + source.fixups.size());
  for (auto _ : state) {
    FILE* input = fopen(path, "rb");
    size_t read = fread(bytes.data(), 1, bytes.size(), input);
    fclose(input);
    benchmark::DoNotOptimize(read);
  }
  remove(path);
}
BENCHMARK(ReadImageBytes)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
