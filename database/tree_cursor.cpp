// The tree cursor: search, steps in key order, and insertion with its page splits.
//
// Every entry of a page, live or deleted, is kept in key order, so a search can bisect a page
// and a cursor that had to let go of its pages can find its entry again by key and record id.
// A page that is full is cut at the insertion point rather than in the middle, so appending in
// key order fills pages completely.
#include <algorithm>
#include <cstring>

#include "database/storage_file.h"

using namespace storage_format;

namespace {

// No valid tree comes near this depth: each level multiplies the pages below it.
constexpr size_t kMaximumDepth = 64;

bool StartsWith(const ByteString& key, const ByteString& prefix) {
  return key.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), key.begin());
}

}  // namespace

TreeCursor::TreeCursor(StorageFile* file, TreeIdentity tree, KeyFieldList keyFields)
    : file_(file),
      tree_(std::move(tree)),
      keyFields_(std::move(keyFields)),
      leafKind_(tree_.directory ? kDirectoryLeaf : kDataLeaf) {
  levels_.reserve(8);
  file_->Register(this);
}

TreeCursor::~TreeCursor() { close(); }

bool TreeCursor::close() {
  if (file_ == nullptr) return true;
  bool applied = ApplyDeferred(false);
  ReleaseLevels();
  file_->Unregister(this);
  file_ = nullptr;
  return applied;
}

// Levels.

void TreeCursor::ReleaseLevels() {
  if (file_)
    for (LevelPosition& level : levels_) file_->Release(level.pinned);
  levels_.clear();
}

void TreeCursor::Retarget(const TreeIdentity& tree, const KeyFieldList& keyFields) {
  ReleaseLevels();
  tree_ = tree;
  keyFields_ = keyFields;
  leafKind_ = tree_.directory ? kDirectoryLeaf : kDataLeaf;
  resume_ = Resume::None;
}

bool TreeCursor::Reset() {
  resume_ = Resume::None;
  fresh_ = true;
  uint32_t root;
  if (file_ == nullptr || !file_->TreeRoot(tree_, &root)) {
    ReleaseLevels();
    return false;
  }
  if (!levels_.empty() && levels_.front().page == root) {
    // The root stays pinned: only the levels below it go.
    while (levels_.size() > 1) {
      file_->Release(levels_.back().pinned);
      levels_.pop_back();
    }
    levels_.front().offset = 0;
    descents_ = 1;
  } else {
    ReleaseLevels();
    descents_ = 0;
    if (!Push(root, 0)) return false;
  }
  atStart_ = true;
  return true;
}

// Enters a page below the current one. A damaged file may make a child of the wrong kind, a
// cycle or an endless descent: a walk visits at most as many pages as the file has.
bool TreeCursor::Push(uint32_t page, int32_t offset) {
  if (levels_.size() >= kMaximumDepth || ++descents_ > static_cast<int32_t>(file_->PageCount()) + 2) return false;
  for (const LevelPosition& level : levels_)
    if (level.page == page) return false;
  CachedPage* fetched = file_->Fetch(page);
  if (fetched == nullptr) return false;
  if (fetched->Kind() != kInteriorPage && fetched->Kind() != leafKind_) {
    file_->Release(fetched);
    return false;
  }
  levels_.push_back({page, offset, fetched});
  return true;
}

bool TreeCursor::SetLevel(size_t fromBottom, uint32_t page, int32_t offset) {
  LevelPosition& level = Level(fromBottom);
  if (level.page != page) {
    CachedPage* fetched = file_->Fetch(page);
    if (fetched == nullptr) return false;
    file_->Release(level.pinned);
    level.page = page;
    level.pinned = fetched;
  }
  level.offset = offset;
  return true;
}

bool TreeCursor::LeafEntry(CachedPage** page, int32_t* offset) {
  if (levels_.empty()) return false;
  LevelPosition& leaf = levels_.back();
  if (leaf.pinned->Kind() == kInteriorPage || leaf.offset >= leaf.pinned->Used()) return false;
  *page = leaf.pinned;
  *offset = leaf.offset;
  return true;
}

// Saving and resuming: the position becomes an entry (key and record id) to find again.

void TreeCursor::SavePosition() {
  if (levels_.empty() || file_ == nullptr) return;
  CachedPage* page = levels_.back().pinned;
  int32_t offset = levels_.back().offset;
  resume_ = Resume::AtStart;
  if (page->Kind() != kInteriorPage && !atStart_) {
    bool fresh = fresh_;
    if (offset >= page->Used() && page->Used() > 0) {
      // Past a leaf's end is just after its last entry.
      offset = page->EntryOffsets().back();
      fresh = false;
    }
    if (offset < page->Used()) {
      const uint8_t* entry = page->Entry(offset);
      EntryKey(leafKind_, entry, keyFields_, &resumeKey_);
      resumeRecordId_ = LoadBig32(entry + kRecordId);
      resumeFresh_ = fresh;
      resume_ = Resume::AtEntry;
    } else if (levels_.size() > 1) {
      // An empty leaf: resume where its parent's separator begins.
      LevelPosition& parent = levels_[levels_.size() - 2];
      EntryKey(kInteriorPage, parent.pinned->Entry(parent.offset), keyFields_, &resumeKey_);
      if (!resumeKey_.empty()) resume_ = Resume::AtLowerBound;
    }
  }
  ReleaseLevels();
}

bool TreeCursor::Restore() {
  Resume how = resume_;
  resume_ = Resume::None;
  if (how == Resume::AtStart) return Reset();
  ByteString key = std::move(resumeKey_);
  if (!seek(key)) return false;
  if (how == Resume::AtLowerBound) return true;
  while (next()) {
    CachedPage* page;
    int32_t offset;
    LeafEntry(&page, &offset);
    const uint8_t* entry = page->Entry(offset);
    if (LoadBig32(entry + kRecordId) == resumeRecordId_) {
      fresh_ = resumeFresh_;
      return true;
    }
    if (CompareEntryKey(leafKind_, entry, keyFields_, key, &scratchKey_) != 0) break;
  }
  // The entry is gone (its transaction was rolled back): resume at what follows its key.
  return seek(key);
}

bool TreeCursor::Ready() {
  if (file_ == nullptr) return false;
  if (resume_ != Resume::None && !Restore()) return false;
  return !levels_.empty();
}

// Search and steps.

bool TreeCursor::seek(const ByteString& key) {
  if (file_ == nullptr || !Reset()) return false;
  atStart_ = false;
  for (;;) {
    CachedPage* page = levels_.back().pinned;
    const std::vector<uint16_t>& offsets = page->EntryOffsets();
    uint32_t kind = page->Kind();
    size_t low = 0, high = offsets.size();
    while (low < high) {
      size_t middle = (low + high) / 2;
      if (CompareEntryKey(kind, page->Entry(offsets[middle]), keyFields_, key, &scratchKey_) < 0) {
        low = middle + 1;
      } else {
        high = middle;
      }
    }
    if (kind != kInteriorPage || offsets.empty()) {
      levels_.back().offset = low < offsets.size() ? offsets[low] : page->Used();
      return true;
    }
    // Down the last entry whose key is less, or the first entry when there is none.
    int32_t offset = offsets[low > 0 ? low - 1 : 0];
    levels_.back().offset = offset;
    if (!Push(LoadBig32(page->Entry(offset) + kInteriorChild), 0)) {
      ReleaseLevels();
      return false;
    }
  }
}

bool TreeCursor::next() {
  if (!Ready()) return false;
  atStart_ = false;
  for (;;) {
    LevelPosition& level = levels_.back();
    CachedPage* page = level.pinned;
    int32_t used = page->Used();
    if (level.offset < used && !fresh_) level.offset += page->EntryLength(level.offset);
    fresh_ = false;
    if (level.offset < used) {
      if (page->Kind() != kInteriorPage) return true;
      if (!Push(LoadBig32(page->Entry(level.offset) + kInteriorChild), 0)) {
        ReleaseLevels();
        return false;
      }
      fresh_ = levels_.back().pinned->Used() > 0;
      continue;
    }
    file_->Release(page);
    levels_.pop_back();
    if (levels_.empty()) return false;
  }
}

bool TreeCursor::nextMatching() {
  if (!Ready()) return false;
  // Entries that begin with the filter all follow its lower bound.
  if (filtered_ && atStart_ && !seek(prefixFilter_)) return false;
  while (next()) {
    CachedPage* page;
    int32_t offset;
    LeafEntry(&page, &offset);
    const uint8_t* entry = page->Entry(offset);
    if (entry[kEntryStatus] == kDeleted) continue;
    if (!movedRecords_.empty() && movedRecords_.count(LoadBig32(entry + kRecordId))) continue;
    if (filtered_) {
      EntryKey(leafKind_, entry, keyFields_, &scratchKey_);
      if (!StartsWith(scratchKey_, prefixFilter_)) {
        // Past the keys that begin with the filter none can follow.
        if (CompareKeys(scratchKey_, prefixFilter_) > 0) {
          ReleaseLevels();
          return false;
        }
        continue;
      }
    }
    return true;
  }
  return false;
}

bool TreeCursor::isValid() {
  CachedPage* page;
  int32_t offset;
  return Ready() && LeafEntry(&page, &offset);
}

bool TreeCursor::isLive() {
  CachedPage* page;
  int32_t offset;
  return Ready() && LeafEntry(&page, &offset) && page->Entry(offset)[kEntryStatus] != kDeleted;
}

const uint8_t* TreeCursor::currentRecord(int32_t* length) {
  CachedPage* page;
  int32_t offset;
  if (!Ready() || !LeafEntry(&page, &offset)) return nullptr;
  *length = page->EntryLength(offset);
  return page->Entry(offset);
}

bool TreeCursor::CurrentKey(ByteString* key) {
  int32_t length;
  const uint8_t* entry = currentRecord(&length);
  if (entry == nullptr) return false;
  EntryKey(leafKind_, entry, keyFields_, key);
  return true;
}

int TreeCursor::CompareCurrentKey(const ByteString& key) {
  int32_t length;
  const uint8_t* entry = currentRecord(&length);
  return entry ? CompareEntryKey(leafKind_, entry, keyFields_, key, &scratchKey_) : 1;
}

TreeCursor::FieldValue TreeCursor::field(uint8_t fieldId) {
  FieldValue result;
  int32_t length;
  const uint8_t* record = currentRecord(&length);
  if (record == nullptr || leafKind_ != kDataLeaf) return result;
  FieldLocation found = FindField(record, length, fieldId);
  if (found.typeCode == 0) return result;
  result.typeCode = found.typeCode;
  result.value = fieldCopy_;
  switch (found.typeCode) {
    case kSmallInt: {
      int16_t value = static_cast<int16_t>(LoadBig16(found.value));
      memcpy(fieldCopy_, &value, sizeof value);
      result.length = 2;
      break;
    }
    case kInteger:
    case kFloat:
    case kLongVarChar:
    case kLongVarBinary: {
      uint32_t value = LoadBig32(found.value);
      memcpy(fieldCopy_, &value, sizeof value);
      result.length = 4;
      break;
    }
    case kDouble: {
      uint64_t value = static_cast<uint64_t>(LoadBig32(found.value)) << 32 | LoadBig32(found.value + 4);
      memcpy(fieldCopy_, &value, sizeof value);
      result.length = 8;
      break;
    }
    case kDate:
    case kTime:
      for (int part = 0; part < 3; part++) {
        int16_t value = static_cast<int16_t>(LoadBig16(found.value + 2 * part));
        memcpy(fieldCopy_ + 2 * part, &value, sizeof value);
      }
      result.length = 6;
      break;
    case kBoolean:
      result.value = found.value;
      result.length = 1;
      break;
    default:  // varchar, binary chunk
      result.value = found.value + 4;
      result.length = found.size - 4;
      break;
  }
  return result;
}

// Changes.

bool TreeCursor::deleteCurrent() {
  CachedPage* page;
  int32_t offset;
  if (!Ready() || !LeafEntry(&page, &offset)) return false;
  file_->MarkChanged(page);
  StoreStatus(page->Entry(offset), kDeleted, file_->transaction_);
  return true;
}

bool TreeCursor::insertHere(const ByteString& entry) {
  int32_t length = static_cast<int32_t>(entry.size());
  if (!Ready() || !StoredEntryValid(leafKind_, entry.data(), length)) return false;
  // A cursor still on the root as made inserts before the first entry of the tree.
  if (levels_.back().pinned->Kind() == kInteriorPage &&
      (!seek(ByteString()) || levels_.back().pinned->Kind() == kInteriorPage))
    return false;
  // Each level may gain two pages, and the root a parent.
  if (!file_->CanAddPages(static_cast<uint32_t>(2 * levels_.size() + 1))) return false;
  atStart_ = false;
  tailMoved_ = false;
  if (!InsertAt(0, entry.data(), length)) return false;
  LevelPosition& leaf = Level(0);
  leaf.offset += length;
  if (leaf.offset >= leaf.pinned->Used() && tailMoved_) {
    // A split put the entries that followed on the next page: on to the first of them.
    bool fresh = fresh_;
    fresh_ = false;
    next();
    fresh_ = fresh;
  }
  return true;
}

bool TreeCursor::replaceCurrent(const ByteString& newRecord, const ByteString& newKey) {
  ByteString oldKey;
  if (!isLive() || !CurrentKey(&oldKey)) return false;
  int32_t length = static_cast<int32_t>(newRecord.size());
  if (!StoredEntryValid(leafKind_, newRecord.data(), length)) return false;
  ByteString record(newRecord);
  StoreStatus(record.data(), kLive, file_->transaction_);
  StoreBig32(record.data() + kRecordId, file_->newRecordId());
  if (CompareKeys(oldKey, newKey) == 0) {
    // Before the current entry, which is then deleted: the cursor stays on it.
    return insertHere(record) && deleteCurrent();
  }
  // The record is safe in the side file before the current one is deleted.
  if (!deferred_) deferred_ = file_->io_.CreateTemporary();
  uint8_t prefix[4];
  StoreBig32(prefix, static_cast<uint32_t>(length));
  if (!deferred_ || !deferred_->Write(deferredLength_, prefix, 4) ||
      !deferred_->Write(deferredLength_ + 4, record.data(), length))
    return false;
  deferredLength_ += 4 + length;
  return deleteCurrent();
}

bool TreeCursor::ApplyDeferred(bool remember) {
  if (!deferred_ || deferredLength_ == 0 || file_ == nullptr) return true;
  std::unique_ptr<TreeCursor> inserter = MakeCursor(file_, tree_, keyFields_, nullptr);
  bool applied = inserter != nullptr;
  ByteString record, key;
  for (int64_t offset = 0; applied && offset < deferredLength_;) {
    uint8_t prefix[4];
    applied = deferred_->Read(offset, prefix, 4);
    record.resize(applied ? LoadBig32(prefix) : 0);
    applied = applied && deferred_->Read(offset + 4, record.data(), static_cast<int32_t>(record.size()));
    offset += 4 + static_cast<int64_t>(record.size());
    if (!applied) break;
    RecordKey(record.data(), static_cast<int32_t>(record.size()), keyFields_, &key);
    applied = inserter->seek(key) && inserter->insertHere(record);
    if (remember) movedRecords_.insert(LoadBig32(record.data() + kRecordId));
  }
  DropDeferred();
  return applied;
}

void TreeCursor::DropDeferred() {
  deferred_.reset();
  deferredLength_ = 0;
}

// Insertion. On success the levels lead to the inserted entry.

bool TreeCursor::InsertAt(size_t fromBottom, const uint8_t* entry, int32_t length) {
  LevelPosition& position = Level(fromBottom);
  CachedPage* page = position.pinned;
  int32_t at = position.offset, used = page->Used();
  if (used + length > kRecordAreaSize) return Split(fromBottom, entry, length);
  bool offsetsKnown = page->offsetsValid;
  file_->PageChanging(page, this);
  uint8_t* area = page->Area();
  memmove(area + at + length, area + at, static_cast<size_t>(used - at));
  memcpy(area + at, entry, static_cast<size_t>(length));
  page->SetUsed(used + length);
  if (offsetsKnown) page->OffsetsInserted(at, length);
  return true;
}

bool TreeCursor::InsertAfterCurrent(size_t fromBottom, const ByteString& entry) {
  LevelPosition& level = Level(fromBottom);
  level.offset += level.pinned->EntryLength(level.offset);
  return InsertAt(fromBottom, entry.data(), static_cast<int32_t>(entry.size()));
}

int32_t TreeCursor::TailCount(CachedPage* page, int32_t from, int32_t to) {
  int32_t count = 0;
  for (int32_t offset = from; offset < to; offset += page->EntryLength(offset))
    count += page->Kind() == kInteriorPage ? LoadBig16(page->Entry(offset) + kInteriorCount) : 1;
  return count;
}

// A parent entry for a page whose first entry is firstEntry; its child is filled in later.
bool TreeCursor::ParentEntry(CachedPage* child, const uint8_t* firstEntry, int32_t count, ByteString* entry) {
  ByteString key;
  EntryKey(child->Kind(), firstEntry, keyFields_, &key);
  if (key.size() + kInteriorKey > static_cast<size_t>(kRecordAreaSize)) return false;
  entry->assign(kInteriorKey, 0);
  entry->insert(entry->end(), key.begin(), key.end());
  StoreBig16(entry->data(), static_cast<uint32_t>(entry->size()));
  StoreStatus(entry->data(), kLive, file_->transaction_);
  StoreBig16(entry->data() + kInteriorCount, static_cast<uint32_t>(std::min(count, 0xFFFF)));
  return true;
}

bool TreeCursor::GrowRoot() {
  if (levels_.size() >= kMaximumDepth) return false;
  file_->SaveCursors(tree_, this);
  CachedPage* root = file_->NewPage(kInteriorPage, StorageFile::kOwnNumber);
  if (root == nullptr) return false;
  uint8_t* entry = root->Area();
  StoreBig16(entry, kInteriorKey);
  StoreStatus(entry, kLive, file_->transaction_);
  StoreBig32(entry + kInteriorChild, levels_.front().page);
  root->SetUsed(kInteriorKey);
  levels_.insert(levels_.begin(), LevelPosition{root->number, 0, root});
  return file_->SetTreeRoot(tree_, root->number);
}

// Cuts the full page of this level at the insertion point. The entries before the point stay,
// so the levels above, which lead to the entry before the point, stay valid through every case
// and only gain entries after it.
bool TreeCursor::Split(size_t fromBottom, const uint8_t* entry, int32_t length) {
  CachedPage* page = Level(fromBottom).pinned;
  int32_t at = Level(fromBottom).offset, used = page->Used(), tail = used - at;
  uint32_t kind = page->Kind(), owner = LoadBig32(page->bytes + kPageOwner);
  int32_t entryCount = kind == kInteriorPage ? LoadBig16(entry + kInteriorCount) : 1;
  int32_t tailCount = TailCount(page, at, used);
  enum {
    kTailMoves,
    kEntryLeadsTail,
    kEntryAlone
  } cut = at + length <= kRecordAreaSize     ? kTailMoves
          : length + tail <= kRecordAreaSize ? kEntryLeadsTail
                                             : kEntryAlone;
  // The parent entries come first: a separator too long for an interior page refuses the
  // insertion before anything changed.
  ByteString first, second;
  bool fits = cut == kTailMoves        ? ParentEntry(page, page->Entry(at), tailCount, &first)
              : cut == kEntryLeadsTail ? ParentEntry(page, entry, entryCount + tailCount, &first)
                                       : ParentEntry(page, entry, entryCount, &first) &&
                                             ParentEntry(page, page->Entry(at), tailCount, &second);
  if (!fits) return false;

  // From here on a failure leaves the tree half-changed: the transaction can only be rolled back.
  auto failed = [this] {
    file_->Fail();
    return false;
  };
  // The new pages come first, then the root grows when the page cut was the root.
  auto growRootWhenNeeded = [this, fromBottom] { return fromBottom + 1 < levels_.size() || GrowRoot(); };
  auto saveAncestors = [this, fromBottom] {
    std::vector<std::pair<uint32_t, int32_t>> saved;
    for (size_t level = fromBottom + 1; level < levels_.size(); level++)
      saved.emplace_back(Level(level).page, Level(level).offset);
    return saved;
  };
  auto restoreAncestors = [this, fromBottom](const std::vector<std::pair<uint32_t, int32_t>>& saved) {
    bool restored = true;
    for (size_t index = 0; index < saved.size(); index++)
      restored = SetLevel(fromBottom + 1 + index, saved[index].first, saved[index].second) && restored;
    // A root grown meanwhile leads to the old root by its first entry.
    if (fromBottom + 1 + saved.size() < levels_.size()) levels_.front().offset = 0;
    return restored;
  };

  uint8_t* area = page->Area();
  file_->PageChanging(page, this);
  if (fromBottom == 0) tailMoved_ = cut != kEntryLeadsTail;
  CachedPage* made = file_->NewPage(kind, owner);
  if (made == nullptr) return failed();
  uint32_t madeNumber = made->number;
  bool done = true;
  if (cut == kTailMoves) {
    memcpy(made->Area(), area + at, static_cast<size_t>(tail));
    made->SetUsed(tail);
    memcpy(area + at, entry, static_cast<size_t>(length));
    if (used > at + length) memset(area + at + length, 0, static_cast<size_t>(used - at - length));
    page->SetUsed(at + length);
    file_->Release(made);
    StoreBig32(first.data() + kInteriorChild, madeNumber);
    if (!growRootWhenNeeded()) return failed();
    auto saved = saveAncestors();
    done = InsertAfterCurrent(fromBottom + 1, first);
    done = restoreAncestors(saved) && done;
  } else if (cut == kEntryLeadsTail) {
    memcpy(made->Area(), entry, static_cast<size_t>(length));
    memcpy(made->Area() + length, area + at, static_cast<size_t>(tail));
    made->SetUsed(length + tail);
    memset(area + at, 0, static_cast<size_t>(tail));
    page->SetUsed(at);
    file_->Release(made);
    StoreBig32(first.data() + kInteriorChild, madeNumber);
    if (!growRootWhenNeeded()) return failed();
    done = InsertAfterCurrent(fromBottom + 1, first) && SetLevel(fromBottom, madeNumber, 0);
  } else {
    CachedPage* tailPage = file_->NewPage(kind, owner);
    if (tailPage == nullptr) {
      file_->Release(made);
      return failed();
    }
    memcpy(made->Area(), entry, static_cast<size_t>(length));
    made->SetUsed(length);
    memcpy(tailPage->Area(), area + at, static_cast<size_t>(tail));
    tailPage->SetUsed(tail);
    memset(area + at, 0, static_cast<size_t>(tail));
    page->SetUsed(at);
    StoreBig32(first.data() + kInteriorChild, madeNumber);
    StoreBig32(second.data() + kInteriorChild, tailPage->number);
    file_->Release(made);
    file_->Release(tailPage);
    if (!growRootWhenNeeded()) return failed();
    done = InsertAfterCurrent(fromBottom + 1, first);
    auto saved = saveAncestors();
    done = done && InsertAfterCurrent(fromBottom + 1, second);
    done = restoreAncestors(saved) && done && SetLevel(fromBottom, madeNumber, 0);
  }
  return done ? true : failed();
}
