// Small-block allocator: size classes of 4-byte steps (SmallBlockGranule) carved from 8192-byte chunks, each
// class with a free list linked through the blocks' first word. Chunks and freed blocks are
// never returned to the platform heap, and memory of a class is reused only for that class.
#include "core/memory_manager.h"

#include <cstring>

#include "platform/win32.h"

#if defined(__SANITIZE_ADDRESS__)
#define KW_ADDRESS_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define KW_ADDRESS_SANITIZER 1
#endif
#endif

#if defined(KW_ADDRESS_SANITIZER)
#include <sanitizer/asan_interface.h>
#include <sanitizer/lsan_interface.h>
// Free blocks and uncarved chunk space are poisoned so that the sanitizer build catches uses
// after free and overruns inside chunks, not only on the platform heap.
#define KW_POISON(address, size) ASAN_POISON_MEMORY_REGION(address, size)
#define KW_UNPOISON(address, size) ASAN_UNPOISON_MEMORY_REGION(address, size)
// Chunks are kept for the life of the process by design; the leak checker is told so.
#define KW_KEEP_FOREVER(address) __lsan_ignore_object(address)
#else
#define KW_KEEP_FOREVER(address) ((void)(address))
#define KW_POISON(address, size) ((void)(address), (void)(size))
#define KW_UNPOISON(address, size) ((void)(address), (void)(size))
#endif

namespace {

constexpr int32_t ClassCount = SmallBlockLimit / 4 + 1;
constexpr int32_t ChunkSize = SmallChunkSize;
// {u32 size; u32 guard} right before the record. The host build puts 8 more bytes in front, so
// that its 8-byte free-list link does not overwrite the guard of a freed record.
constexpr int32_t GuardHeaderSize = sizeof(void*) == 4 ? 8 : 16;
const char OutOfMemoryMessage[] = "This application has run out of memory and must quit now.";

struct FreeBlock {
  FreeBlock* next;
};

struct SmallBlockAllocator {
  FreeBlock* freeLists[ClassCount];  // index 0 is never used
  char* currentChunk;                // first unused byte of the current chunk
  int32_t remaining;                 // unused bytes left in it
  int32_t bytesInUse;
  CRITICAL_SECTION lock;
  bool lockCreated;
};

SmallBlockAllocator allocator;
OutOfMemoryHook outOfMemoryHook;

int32_t SizeClass(int32_t size) { return (size + SmallBlockGranule - 1) / SmallBlockGranule; }

class AllocatorLock {
 public:
  AllocatorLock() {
    if (!allocator.lockCreated) InitMemoryManager();
    EnterCriticalSection(&allocator.lock);
  }
  ~AllocatorLock() { LeaveCriticalSection(&allocator.lock); }
  AllocatorLock(const AllocatorLock&) = delete;
  AllocatorLock& operator=(const AllocatorLock&) = delete;
};

struct GuardHeader {
  uint32_t size;
  uint32_t guard;
};

// The guard of a record freed before lies in a free (poisoned) block: reading it is the check.
#if defined(KW_ADDRESS_SANITIZER)
__attribute__((no_sanitize("address")))
#endif
uint32_t ReadGuard(const GuardHeader* header) {
  return header->guard;
}

}  // namespace

void InitMemoryManager() {
  if (allocator.lockCreated) return;
  InitializeCriticalSection(&allocator.lock);
  allocator.lockCreated = true;
}

void SetOutOfMemoryHook(OutOfMemoryHook hook) { outOfMemoryHook = hook; }

void OutOfMemory() {
  if (outOfMemoryHook) outOfMemoryHook();
  MessageBoxA(nullptr, OutOfMemoryMessage, "KW App", MB_OK);
  ExitProcess(0);
}

void* PlatformAlloc(size_t size) {
  void* block = HeapAlloc(GetProcessHeap(), 0, size);
  if (block == nullptr) OutOfMemory();
  return block;
}

void PlatformFree(void* block) {
  if (block) HeapFree(GetProcessHeap(), 0, block);
}

void* SmallAlloc(int32_t size) {
  if (size <= 0) return nullptr;
  if (size > SmallBlockLimit) {
    void* block;
    {
      AllocatorLock guard;
      block = HeapAlloc(GetProcessHeap(), 0, static_cast<SIZE_T>(size));
    }
    // A failed large request ends the process like a failed chunk, rather than handing the
    // caller a null block it would write through.
    if (block == nullptr) OutOfMemory();
    return block;
  }
  int32_t sizeClass = SizeClass(size);
  int32_t blockSize = SmallBlockSize(size);
  bool outOfMemory = false;
  void* block = nullptr;
  {
    AllocatorLock guard;
    allocator.bytesInUse += size;
    if (FreeBlock* head = allocator.freeLists[sizeClass]) {
      KW_UNPOISON(head, blockSize);
      allocator.freeLists[sizeClass] = head->next;
      return head;
    }
    if (allocator.remaining < blockSize) {
      // The rest of the old chunk is abandoned.
      char* chunk = static_cast<char*>(HeapAlloc(GetProcessHeap(), 0, ChunkSize));
      if (chunk == nullptr) {
        outOfMemory = true;
      } else {
        KW_KEEP_FOREVER(chunk);
        KW_POISON(chunk, ChunkSize);
        allocator.currentChunk = chunk;
        allocator.remaining = ChunkSize;
      }
    }
    if (!outOfMemory) {
      block = allocator.currentChunk;
      allocator.currentChunk += blockSize;
      allocator.remaining -= blockSize;
      KW_UNPOISON(block, blockSize);
    }
  }
  if (outOfMemory) OutOfMemory();
  return block;
}

void SmallFree(void* block, int32_t size) {
  if (block == nullptr || size <= 0) return;
  AllocatorLock guard;
  if (size > SmallBlockLimit) {
    HeapFree(GetProcessHeap(), 0, block);
    return;
  }
  allocator.bytesInUse -= size;
  int32_t sizeClass = SizeClass(size);
  FreeBlock* freed = static_cast<FreeBlock*>(block);
  freed->next = allocator.freeLists[sizeClass];
  allocator.freeLists[sizeClass] = freed;
  KW_POISON(freed, SmallBlockSize(size));
}

int32_t SmallBytesInUse() {
  AllocatorLock guard;
  return allocator.bytesInUse;
}

void* GuardedAlloc(int32_t size) {
  char* block = static_cast<char*>(SmallAlloc(size + GuardHeaderSize));
  auto* header = reinterpret_cast<GuardHeader*>(block + GuardHeaderSize) - 1;
  header->size = static_cast<uint32_t>(size);
  header->guard = LiveRecordGuard;
  return block + GuardHeaderSize;
}

void GuardedFree(void* record) {
  GuardHeader* header = static_cast<GuardHeader*>(record) - 1;
  // A record whose guard is not intact was freed already (or was never a guarded record):
  // freeing it again would put one block on a free list twice, so it is left alone.
  if (ReadGuard(header) != LiveRecordGuard) return;
  header->guard = FreedRecordGuard;
  SmallFree(static_cast<char*>(record) - GuardHeaderSize, static_cast<int32_t>(header->size) + GuardHeaderSize);
}

namespace {

MemoryHandle* MakeHandle(int32_t size, bool zeroFilled) {
  if (size < 0) size = 0;
  auto* handle = static_cast<MemoryHandle*>(SmallAlloc(sizeof(MemoryHandle)));
  handle->data = PlatformAlloc(static_cast<size_t>(size));
  handle->size = size;
  if (zeroFilled) memset(handle->data, 0, static_cast<size_t>(size));
  return handle;
}

}  // namespace

MemoryHandle* NewHandle(int32_t size) { return MakeHandle(size, false); }

MemoryHandle* NewHandleClear(int32_t size) { return MakeHandle(size, true); }

int32_t HandleSize(const MemoryHandle* handle) { return handle ? handle->size : 0; }

void ResizeHandle(MemoryHandle* handle, int32_t size) {
  if (size < 0) size = 0;
  if (handle == nullptr || size == handle->size) return;
  void* data = PlatformAlloc(static_cast<size_t>(size));
  memcpy(data, handle->data, static_cast<size_t>(size < handle->size ? size : handle->size));
  PlatformFree(handle->data);
  handle->data = data;
  handle->size = size;
}

void DisposeHandle(MemoryHandle* handle) {
  if (handle == nullptr) return;
  PlatformFree(handle->data);
  SmallFree(handle, sizeof(MemoryHandle));
}

int32_t SmallChunkRemaining() {
  AllocatorLock guard;
  return allocator.remaining;
}
