// Small-block allocation against the C library's malloc and free, on one stream of mixed sizes
// (mostly object- and string-sized, a few larger), freed in a shuffled order.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <random>
#include <vector>

#include "core/memory_manager.h"

namespace {

constexpr int BlocksPerRound = 4096;

struct Workload {
  std::vector<int32_t> sizes;
  std::vector<int> freeOrder;
  Workload() {
    std::mt19937 random(42);
    for (int index = 0; index < BlocksPerRound; index++) {
      unsigned pick = random() % 100;
      sizes.push_back(pick < 60 ? 8 + static_cast<int32_t>(random() % 24)     // strings and small nodes
                      : pick < 95 ? 24 + static_cast<int32_t>(random() % 120)  // objects
                                  : 253 + static_cast<int32_t>(random() % 800));
      freeOrder.push_back(index);
    }
    std::shuffle(freeOrder.begin(), freeOrder.end(), random);
  }
};

const Workload& TheWorkload() {
  static Workload workload;
  return workload;
}

void SmallAllocMixed(benchmark::State& state) {
  const Workload& workload = TheWorkload();
  std::vector<void*> blocks(BlocksPerRound);
  for (auto _ : state) {
    for (int index = 0; index < BlocksPerRound; index++) blocks[index] = SmallAlloc(workload.sizes[index]);
    benchmark::ClobberMemory();
    for (int index : workload.freeOrder) SmallFree(blocks[index], workload.sizes[index]);
  }
  state.SetItemsProcessed(state.iterations() * BlocksPerRound);
}
BENCHMARK(SmallAllocMixed);

void MallocMixed(benchmark::State& state) {
  const Workload& workload = TheWorkload();
  std::vector<void*> blocks(BlocksPerRound);
  for (auto _ : state) {
    for (int index = 0; index < BlocksPerRound; index++) blocks[index] = malloc(static_cast<size_t>(workload.sizes[index]));
    benchmark::ClobberMemory();
    for (int index : workload.freeOrder) free(blocks[index]);
  }
  state.SetItemsProcessed(state.iterations() * BlocksPerRound);
}
BENCHMARK(MallocMixed);

// One object-sized block taken and given back: the cost of the lock and the list operations.
void SmallAllocPair(benchmark::State& state) {
  for (auto _ : state) {
    void* block = SmallAlloc(40);
    benchmark::DoNotOptimize(block);
    SmallFree(block, 40);
  }
}
BENCHMARK(SmallAllocPair);

void MallocPair(benchmark::State& state) {
  for (auto _ : state) {
    void* block = malloc(40);
    benchmark::DoNotOptimize(block);
    free(block);
  }
}
BENCHMARK(MallocPair);

}  // namespace

BENCHMARK_MAIN();
