// The pages of one open database file held in memory: 32 buckets chosen by the page number
// modulo 32, and a recency list of the pages that may be dropped.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "database/storage_format.h"

struct CachedPage {
  uint32_t number = 0;
  bool dirty = false;
  int32_t useCount = 0;
  // The recency list holds clean pages only, least recently placed first; a page used since it
  // was placed gets a second chance before it is dropped.
  CachedPage* older = nullptr;
  CachedPage* newer = nullptr;
  bool listed = false;
  bool used = false;
  // Offsets in the record area of every entry, in page order, for binary search; rebuilt after
  // the page changes.
  bool offsetsValid = false;
  std::vector<uint16_t> offsets;
  alignas(8) uint8_t bytes[storage_format::kPageSize];

  uint8_t* Area() { return bytes + storage_format::kPageHeaderSize; }
  uint32_t Kind() const { return storage_format::LoadBig32(bytes + storage_format::kPageKind); }
  int32_t Used() const { return storage_format::LoadBig16(bytes + storage_format::kPageUsed); }
  void SetUsed(int32_t used) {
    storage_format::StoreBig16(bytes + storage_format::kPageUsed, static_cast<uint32_t>(used));
  }
  uint8_t* Entry(int32_t offset) { return Area() + offset; }
  int32_t EntryLength(int32_t offset) const {
    return storage_format::LoadBig16(bytes + storage_format::kPageHeaderSize + offset);
  }
  const std::vector<uint16_t>& EntryOffsets();
  // Keeps the offsets right after an entry of length bytes was inserted at offset.
  void OffsetsInserted(int32_t offset, int32_t length);
};

class PageCache {
 public:
  static constexpr int32_t kBuckets = 32;

  PageCache() = default;
  ~PageCache() { Clear(); }
  PageCache(const PageCache&) = delete;
  PageCache& operator=(const PageCache&) = delete;

  CachedPage* Find(uint32_t number) const {
    const std::vector<CachedPage*>& bucket = buckets_[number % kBuckets];
    uint32_t slot = number / kBuckets;
    return slot < bucket.size() ? bucket[slot] : nullptr;
  }
  // A page to fill, from those dropped before when there are any.
  CachedPage* Make();
  // Takes ownership of a page whose number is not cached yet.
  void Add(CachedPage* page);
  // Removes the page; it is kept for the next Make, or freed.
  void Drop(CachedPage* page);
  // Gives back a page that Make handed out and that was never added.
  void Discard(CachedPage* page);
  void Clear();

  // A use of a clean page keeps it longer; a dirty page leaves the list until it is written back.
  void Touch(CachedPage* page) { page->used = true; }
  void SetDirty(CachedPage* page, bool dirty);
  // Frees the least recently used clean pages that nothing pins until at most limit are held.
  void Trim(int32_t limit);

  int32_t Count() const { return count_; }

 private:
  void Unlink(CachedPage* page);
  void LinkNewest(CachedPage* page);

  // Bucket b holds page b + 32 * i at index i: a lookup is one step whatever the file's size.
  std::array<std::vector<CachedPage*>, kBuckets> buckets_;
  CachedPage* oldest_ = nullptr;
  CachedPage* newest_ = nullptr;
  int32_t count_ = 0;
  // Dropped pages kept for reuse: a cache that reads as much as it drops allocates nothing.
  std::vector<CachedPage*> spare_;
};
