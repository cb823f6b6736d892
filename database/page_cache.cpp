#include "database/page_cache.h"

#include <algorithm>

const std::vector<uint16_t>& CachedPage::EntryOffsets() {
  if (!offsetsValid) {
    offsets.clear();
    int32_t used = Used();
    for (int32_t offset = 0; offset < used; offset += EntryLength(offset))
      offsets.push_back(static_cast<uint16_t>(offset));
    offsetsValid = true;
  }
  return offsets;
}

void CachedPage::OffsetsInserted(int32_t offset, int32_t length) {
  auto position = std::lower_bound(offsets.begin(), offsets.end(), static_cast<uint16_t>(offset));
  position = offsets.insert(position, static_cast<uint16_t>(offset));
  for (++position; position != offsets.end(); ++position) *position = static_cast<uint16_t>(*position + length);
  offsetsValid = true;
}

namespace {

constexpr size_t kSparePages = 64;

}  // namespace

CachedPage* PageCache::Make() {
  if (spare_.empty()) return new CachedPage;
  CachedPage* page = spare_.back();
  spare_.pop_back();
  return page;
}

void PageCache::Discard(CachedPage* page) {
  page->dirty = false;
  page->useCount = 0;
  page->offsetsValid = false;
  if (spare_.size() < kSparePages) {
    spare_.push_back(page);
  } else {
    delete page;
  }
}

void PageCache::Add(CachedPage* page) {
  std::vector<CachedPage*>& bucket = buckets_[page->number % kBuckets];
  uint32_t slot = page->number / kBuckets;
  if (slot >= bucket.size()) bucket.resize(slot + 1, nullptr);
  bucket[slot] = page;
  count_++;
  if (!page->dirty) LinkNewest(page);
}

void PageCache::Drop(CachedPage* page) {
  Unlink(page);
  buckets_[page->number % kBuckets][page->number / kBuckets] = nullptr;
  count_--;
  Discard(page);
}

void PageCache::Clear() {
  for (std::vector<CachedPage*>& bucket : buckets_) {
    for (CachedPage* page : bucket) delete page;
    bucket.clear();
  }
  oldest_ = newest_ = nullptr;
  count_ = 0;
  for (CachedPage* page : spare_) delete page;
  spare_.clear();
}

void PageCache::SetDirty(CachedPage* page, bool dirty) {
  if (page->dirty == dirty) return;
  page->dirty = dirty;
  if (dirty) {
    Unlink(page);
  } else {
    LinkNewest(page);
  }
}

void PageCache::Trim(int32_t limit) {
  // Every page is looked at no more than twice: once to take its second chance, once to go.
  CachedPage* page = oldest_;
  for (int32_t steps = 2 * count_; count_ > limit && page && steps > 0; steps--) {
    CachedPage* newer = page->newer;
    if (page->useCount == 0 && !page->used) {
      Drop(page);
    } else {
      page->used = false;
      Unlink(page);
      LinkNewest(page);
      if (newer == nullptr) break;
    }
    page = newer;
  }
}

void PageCache::Unlink(CachedPage* page) {
  if (!page->listed) return;
  (page->older ? page->older->newer : oldest_) = page->newer;
  (page->newer ? page->newer->older : newest_) = page->older;
  page->older = page->newer = nullptr;
  page->listed = false;
}

void PageCache::LinkNewest(CachedPage* page) {
  page->used = false;
  page->older = newest_;
  page->newer = nullptr;
  (newest_ ? newest_->newer : oldest_) = page;
  newest_ = page;
  page->listed = true;
}
