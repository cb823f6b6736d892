// The process heap over the C library's allocator.
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <malloc.h>

#include "platform/testing/testing.h"
#include "platform/win32.h"

namespace {

// Any non-null value names the one heap; there are no private heaps in this layer.
HANDLE const ProcessHeapHandle = reinterpret_cast<HANDLE>(static_cast<uintptr_t>(0x00150000));

// Allocations left before injected failures start (tests only); negative means never.
std::atomic<long> allocationsBeforeFailure{-1};

bool InjectedFailure() {
  long left = allocationsBeforeFailure.load(std::memory_order_relaxed);
  while (left >= 0) {
    if (left == 0) return true;
    if (allocationsBeforeFailure.compare_exchange_weak(left, left - 1)) return false;
  }
  return false;
}

}  // namespace

namespace kwtesting {
void FailHeapAllocationsAfter(long count) { allocationsBeforeFailure.store(count); }
}  // namespace kwtesting

extern "C" {

HANDLE WINAPI GetProcessHeap(void) { return ProcessHeapHandle; }

LPVOID WINAPI HeapAlloc(HANDLE heap, DWORD flags, SIZE_T bytes) {
  if (heap != ProcessHeapHandle || InjectedFailure()) return nullptr;
  // Win32 returns a usable block for a request of 0 bytes.
  size_t size = bytes ? bytes : 1;
  return (flags & HEAP_ZERO_MEMORY) ? calloc(1, size) : malloc(size);
}

LPVOID WINAPI HeapReAlloc(HANDLE heap, DWORD flags, LPVOID block, SIZE_T bytes) {
  if (heap != ProcessHeapHandle || block == nullptr || InjectedFailure()) return nullptr;
  size_t oldSize = malloc_usable_size(block);
  void* grown = realloc(block, bytes ? bytes : 1);
  if (grown != nullptr && (flags & HEAP_ZERO_MEMORY) && bytes > oldSize)
    memset(static_cast<char*>(grown) + oldSize, 0, bytes - oldSize);
  return grown;
}

BOOL WINAPI HeapFree(HANDLE heap, DWORD, LPVOID block) {
  if (heap != ProcessHeapHandle) return FALSE;
  free(block);
  return TRUE;
}

SIZE_T WINAPI HeapSize(HANDLE heap, DWORD, LPCVOID block) {
  if (heap != ProcessHeapHandle || block == nullptr) return static_cast<SIZE_T>(-1);
  return malloc_usable_size(const_cast<void*>(block));
}

}  // extern "C"
