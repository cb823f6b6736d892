// The engine's memory manager: a small-block allocator with one free list per 4-byte size
// class over the platform heap, guarded records, and memory handles.
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/runtime_layout.h"

// Blocks of up to 252 bytes come from size classes. Classes step by 4 bytes in the 32-bit engine,
// where that is pointer alignment; the 64-bit host build steps by 8 to keep its pointers aligned.
constexpr int32_t SmallBlockLimit = 252;
constexpr int32_t SmallBlockGranule = sizeof(void*) == 4 ? 4 : 8;
constexpr int32_t SmallChunkSize = 8192;
constexpr int32_t SmallBlockSize(int32_t size) { return (size + SmallBlockGranule - 1) / SmallBlockGranule * SmallBlockGranule; }

// Creates the allocator's lock. The process entry calls it before anything allocates.
void InitMemoryManager();

// A block of size bytes, or null for size <= 0. Blocks of up to 252 bytes come from the size
// class free lists; larger ones straight from the platform heap. Freeing states the size again.
void* SmallAlloc(int32_t size);
void SmallFree(void* block, int32_t size);

// Sum of the sizes requested by live small blocks.
int32_t SmallBytesInUse();

// Engine records with an 8-byte header {size, 0xDEADBEEF}; freeing overwrites the guard.
void* GuardedAlloc(int32_t size);
void GuardedFree(void* record);

constexpr uint32_t LiveRecordGuard = 0xDEADBEEF;
constexpr uint32_t FreedRecordGuard = 0xDEADDEAD;

// Memory handles: data on the platform heap reached through a small block.
MemoryHandle* NewHandle(int32_t size);
MemoryHandle* NewHandleClear(int32_t size);
int32_t HandleSize(const MemoryHandle* handle);
void ResizeHandle(MemoryHandle* handle, int32_t size);
void DisposeHandle(MemoryHandle* handle);

// Platform-heap blocks for engine data of any size; they end the process when memory is out.
void* PlatformAlloc(size_t size);
void PlatformFree(void* block);

// Shows the out-of-memory message and ends the process.
[[noreturn]] void OutOfMemory();

// Called before the out-of-memory message, to give back the drawing port's device context.
using OutOfMemoryHook = void (*)();
void SetOutOfMemoryHook(OutOfMemoryHook hook);

// Unused bytes left in the current chunk (diagnostics and tests).
int32_t SmallChunkRemaining();
