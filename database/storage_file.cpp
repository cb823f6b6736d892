#include "database/storage_file.h"

#include <algorithm>
#include <cstring>

#include "core/runtime_string.h"
#include "database/journal.h"

using namespace storage_format;

namespace {

// The file layer addresses at most 2 GiB.
constexpr int64_t kMaximumFileLength = 0x7FFFFFFF;
// Pages written back with one call.
constexpr size_t kPagesPerWrite = 32;
// A journal grown past this is cut back after its commit.
constexpr int64_t kJournalKeptLength = 4 << 20;

bool EntryValid(uint32_t kind, const uint8_t* entry, int32_t length) {
  if (kind == kInteriorPage) return length >= kInteriorKey;
  if (kind == kDirectoryLeaf)
    return length >= kDirectoryName &&
           LoadBig32(entry + kDirectoryNameLength) == static_cast<uint32_t>(length - kDirectoryName);
  return RecordFieldsValid(entry, length);
}

// A page read from the file is used only when its kind is known and its entries, each well
// formed for that kind, end exactly at its used count: every later step relies on this.
bool PageValid(const uint8_t* bytes) {
  uint32_t kind = LoadBig32(bytes + kPageKind);
  if (kind != kInteriorPage && kind != kDirectoryLeaf && kind != kDataLeaf) return false;
  int32_t used = LoadBig16(bytes + kPageUsed);
  if (used > kRecordAreaSize) return false;
  const uint8_t* area = bytes + kPageHeaderSize;
  for (int32_t offset = 0; offset < used;) {
    if (used - offset < kEntryHeaderSize) return false;
    int32_t length = LoadBig16(area + offset);
    if (length > used - offset || !EntryValid(kind, area + offset, length)) return false;
    offset += length;
  }
  return true;
}

std::string Folded(const std::string& name) {
  std::string folded(name);
  for (char& c : folded) c = static_cast<char>(CaseFoldTable[static_cast<uint8_t>(c)]);
  return folded;
}

}  // namespace

bool StoredEntryValid(uint32_t kind, const uint8_t* entry, int32_t length) {
  return length >= kEntryHeaderSize && length <= kRecordAreaSize && LoadBig16(entry + kEntryLength) == length &&
         EntryValid(kind, entry, length);
}

std::unique_ptr<TreeCursor> MakeCursor(StorageFile* file, TreeIdentity tree, const KeyFieldList& keyFields,
                                       const ByteString* prefixFilter) {
  std::unique_ptr<TreeCursor> cursor(new TreeCursor(file, std::move(tree), keyFields));
  if (prefixFilter) {
    cursor->filtered_ = true;
    cursor->prefixFilter_ = *prefixFilter;
  }
  if (!cursor->Reset()) return nullptr;
  return cursor;
}

// Files.

std::unique_ptr<StorageFile> createStorageFile(const std::string& path, StorageIo& io) {
  std::unique_ptr<StorageFile> storage(new StorageFile(io, path));
  storage->file_ = io.Create(path);
  if (!storage->file_) return nullptr;
  uint8_t header[kHeaderSize] = {};
  StoreBig32(header + kHeaderMagic, kMagic);
  StoreBig32(header + kHeaderVersion, kVersion);
  if (!storage->file_->Write(0, header, kHeaderSize)) return nullptr;
  // A journal left by an earlier file of that name describes nothing here.
  std::string journalPath = journal::PathFor(path);
  if (io.Exists(journalPath)) io.Remove(journalPath);
  CachedPage* directory = storage->NewPage(kDirectoryLeaf, StorageFile::kOwnNumber);
  if (directory == nullptr) return nullptr;
  storage->Release(directory);
  return storage;
}

std::unique_ptr<StorageFile> openStorageFile(const std::string& path, StorageIo& io) {
  std::unique_ptr<StorageFile> storage(new StorageFile(io, path));
  storage->file_ = io.Open(path);
  if (!storage->file_) return nullptr;
  uint8_t header[kHeaderSize];
  if (!storage->file_->Read(0, header, kHeaderSize)) return nullptr;
  if (LoadBig32(header + kHeaderMagic) != kMagic || LoadBig32(header + kHeaderVersion) != kVersion) return nullptr;
  std::string journalPath = journal::PathFor(path);
  uint32_t flag = LoadBig32(header + kHeaderOpenFlag);
  std::unique_ptr<StorageIoFile> journalFile = io.Exists(journalPath) ? io.Open(journalPath) : nullptr;
  uint32_t transaction;
  if (journalFile && journal::Hot(*journalFile, flag, LoadBig32(header + kHeaderTransaction), &transaction)) {
    // Left in the middle of writing a transaction back: its journal puts back the last commit.
    if (!journal::Restore(*journalFile, *storage->file_, transaction) || !storage->file_->Read(0, header, kHeaderSize))
      return nullptr;
  } else if (flag != 0) {
    // Without its journal (a file of another engine, or a damaged journal) nothing can say what
    // the file held before: it is refused.
    return nullptr;
  }
  if (journalFile) {
    journalFile.reset();
    io.Remove(journalPath);  // done with, or left by a commit that completed
  }
  int64_t length = storage->file_->Length();
  if (length < kHeaderSize || length > kMaximumFileLength) return nullptr;
  storage->transaction_ = LoadBig32(header + kHeaderTransaction) + 1;
  storage->nextRecordId_ = storage->committedNextRecordId_ = LoadBig32(header + kHeaderNextRecordId);
  storage->directoryRoot_ = storage->committedDirectoryRoot_ = LoadBig32(header + kHeaderDirectoryRoot);
  storage->pageCount_ = storage->committedPageCount_ = static_cast<uint32_t>((length - kHeaderSize) / kPageSize);
  storage->committedLength_ = length;
  return storage;
}

bool closeStorageFile(std::unique_ptr<StorageFile> storage) {
  if (!storage) return false;
  bool closed = storage->commit();
  storage->DetachCursors();
  if (storage->broken_) return false;  // the journal stays for the next opening
  if (closed && storage->nextRecordId_ != storage->committedNextRecordId_) {
    // Ids handed out since the last commit without a change: the counter alone moves on.
    uint8_t id[4];
    StoreBig32(id, storage->nextRecordId_);
    closed = storage->file_->Write(kHeaderNextRecordId, id, 4) && storage->file_->Flush();
  }
  if (storage->journal_) {
    storage->journal_.reset();
    storage->io_.Remove(journal::PathFor(storage->path_));
  }
  storage->cache_.Clear();
  storage->file_.reset();
  return closed;
}

StorageFile::~StorageFile() { DetachCursors(); }

void StorageFile::DetachCursors() {
  for (TreeCursor* cursor : cursors_) {
    cursor->ReleaseLevels();
    cursor->DropDeferred();
    cursor->file_ = nullptr;
  }
  cursors_.clear();
}

bool CreateCatalogTrees(StorageFile& file) {
  return file.createTree(kTablesTree) && file.createTree(kFieldsTree) && file.createTree(kBlobTree);
}

// Pages.

CachedPage* StorageFile::Fetch(uint32_t number) {
  if (broken_ || number >= pageCount_) return nullptr;
  if (CachedPage* page = cache_.Find(number)) {
    page->useCount++;
    cache_.Touch(page);
    return page;
  }
  // Pages of the current transaction never leave the cache; any other is in the file.
  if (number >= committedPageCount_) return nullptr;
  CachedPage* page = cache_.Make();
  page->number = number;
  if (!file_->Read(kHeaderSize + static_cast<int64_t>(number) * kPageSize, page->bytes, kPageSize) ||
      !PageValid(page->bytes)) {
    cache_.Discard(page);
    return nullptr;
  }
  page->useCount = 1;
  cache_.Add(page);
  if (page->Kind() == kDataLeaf) PurgeDeleted(page);
  cache_.Trim(cacheLimit_);
  return page;
}

void StorageFile::Release(CachedPage* page) {
  if (page) page->useCount--;
}

CachedPage* StorageFile::NewPage(uint32_t kind, uint32_t owner) {
  if (!CanAddPages(1)) return nullptr;
  CachedPage* page = cache_.Make();
  memset(page->bytes, 0, kPageSize);
  page->number = pageCount_++;
  StoreBig32(page->bytes + kPageKind, kind);
  StoreBig32(page->bytes + kPageOwner, owner == StorageFile::kOwnNumber ? page->number : owner);
  page->useCount = 1;
  cache_.Add(page);
  MarkChanged(page);
  return page;
}

bool StorageFile::CanAddPages(uint32_t count) const {
  return kHeaderSize + (static_cast<int64_t>(pageCount_) + count) * kPageSize <= kMaximumFileLength;
}

void StorageFile::MarkChanged(CachedPage* page) {
  if (page->dirty) return;
  // The transaction's header fields reach the file when it is written back.
  inTransaction_ = true;
  cache_.SetDirty(page, true);
  // Every page first changed in this transaction joins the chain, even one whose stamp already
  // says so in a damaged file: the chain is how commit and rollback find the changed pages.
  StoreBig32(page->bytes + kPageStamp, transaction_);
  StoreBig32(page->bytes + kPageChain, chainHead_);
  chainHead_ = page->number;
}

void StorageFile::PageChanging(CachedPage* page, const TreeCursor* changing) {
  // Any other cursor on the page remembers its entry by key while its offsets are still right.
  for (TreeCursor* cursor : cursors_) {
    if (cursor == changing) continue;
    for (const TreeCursor::LevelPosition& level : cursor->levels_) {
      if (level.pinned == page) {
        cursor->SavePosition();
        break;
      }
    }
  }
  MarkChanged(page);
  page->offsetsValid = false;
}

// Deleted records of finished transactions go when their page is first read.
void StorageFile::PurgeDeleted(CachedPage* page) {
  auto dropped = [this](const uint8_t* entry) {
    return entry[kEntryStatus] == kDeleted && EntryStamp(entry) < transaction_;
  };
  int32_t used = page->Used();
  bool any = false;
  for (int32_t offset = 0; offset < used && !any; offset += page->EntryLength(offset))
    any = dropped(page->Entry(offset));
  if (!any) return;
  PageChanging(page, nullptr);
  uint8_t* area = page->Area();
  int32_t kept = 0;
  for (int32_t offset = 0; offset < used;) {
    int32_t length = page->EntryLength(offset);
    if (!dropped(area + offset)) {
      memmove(area + kept, area + offset, static_cast<size_t>(length));
      kept += length;
    }
    offset += length;
  }
  memset(area + kept, 0, static_cast<size_t>(used - kept));
  page->SetUsed(kept);
}

// Trees.

const TreeIdentity* StorageFile::FindTree(const std::string& name) {
  // Inserts and lookups name the same tree again and again.
  if (lastTree_ && name == lastTreeName_) return lastTree_;
  std::string folded = Folded(name);
  auto known = treeNames_.find(folded);
  if (known == treeNames_.end()) {
    std::unique_ptr<TreeCursor> directory = MakeCursor(this, TreeIdentity{}, {}, nullptr);
    while (directory && directory->nextMatching()) {
      int32_t length;
      const uint8_t* entry = directory->currentRecord(&length);
      const uint8_t* stored = entry + kDirectoryName;
      int32_t storedLength = length - kDirectoryName;
      if (BytesCompareFolded(stored, storedLength, name.data(), static_cast<int32_t>(name.size())) != 0) continue;
      TreeIdentity tree;
      tree.directory = false;
      tree.recordId = LoadBig32(entry + kDirectoryRecordId);
      tree.name.assign(reinterpret_cast<const char*>(stored), static_cast<size_t>(storedLength));
      treeRoots_[tree.recordId] = LoadBig32(entry + kDirectoryRoot);
      known = treeNames_.emplace(folded, std::move(tree)).first;
      break;
    }
    if (known == treeNames_.end()) return nullptr;
  }
  lastTree_ = &known->second;
  lastTreeName_ = name;
  return lastTree_;
}

std::vector<std::string> StorageFile::TreeNames() {
  std::vector<std::string> names;
  std::unique_ptr<TreeCursor> directory = broken_ ? nullptr : MakeCursor(this, TreeIdentity{}, {}, nullptr);
  while (directory && directory->nextMatching()) {
    int32_t length;
    const uint8_t* entry = directory->currentRecord(&length);
    names.emplace_back(reinterpret_cast<const char*>(entry + kDirectoryName),
                       static_cast<size_t>(length - kDirectoryName));
  }
  return names;
}

// The directory cursor positioned on the live entry of the tree.
static std::unique_ptr<TreeCursor> DirectoryEntryOf(StorageFile* file, const TreeIdentity& tree) {
  std::unique_ptr<TreeCursor> directory = MakeCursor(file, TreeIdentity{}, {}, nullptr);
  ByteString key, scratch;
  DirectoryKey(reinterpret_cast<const uint8_t*>(tree.name.data()), static_cast<int32_t>(tree.name.size()), &key);
  if (!directory || !directory->seek(key)) return nullptr;
  while (directory->next()) {
    int32_t length;
    const uint8_t* entry = directory->currentRecord(&length);
    if (entry[kEntryStatus] != kDeleted && LoadBig32(entry + kDirectoryRecordId) == tree.recordId) return directory;
    if (CompareEntryKey(kDirectoryLeaf, entry, {}, key, &scratch) > 0) break;
  }
  return nullptr;
}

bool StorageFile::TreeRoot(const TreeIdentity& tree, uint32_t* root) {
  if (tree.directory) {
    *root = directoryRoot_;
    return true;
  }
  if (auto known = treeRoots_.find(tree.recordId); known != treeRoots_.end()) {
    *root = known->second;
    return true;
  }
  std::unique_ptr<TreeCursor> directory = DirectoryEntryOf(this, tree);
  if (!directory) return false;
  int32_t length;
  *root = LoadBig32(directory->currentRecord(&length) + kDirectoryRoot);
  treeRoots_[tree.recordId] = *root;
  return true;
}

bool StorageFile::SetTreeRoot(const TreeIdentity& tree, uint32_t root) {
  if (tree.directory) {
    directoryRoot_ = root;  // reaches the header when the transaction is written back
    return true;
  }
  std::unique_ptr<TreeCursor> directory = DirectoryEntryOf(this, tree);
  CachedPage* page;
  int32_t offset;
  if (!directory || !directory->LeafEntry(&page, &offset)) return false;
  MarkChanged(page);
  StoreBig32(page->Entry(offset) + kDirectoryRoot, root);
  treeRoots_[tree.recordId] = root;
  return true;
}

void StorageFile::ForgetTreeNames() {
  treeNames_.clear();
  lastTree_ = nullptr;
}

void StorageFile::Unregister(TreeCursor* cursor) {
  auto found = std::find(cursors_.begin(), cursors_.end(), cursor);
  if (found != cursors_.end()) cursors_.erase(found);
}

void StorageFile::SaveCursors(const TreeIdentity& tree, const TreeCursor* changing) {
  for (TreeCursor* cursor : cursors_)
    if (cursor != changing && cursor->tree_ == tree) cursor->SavePosition();
}

bool StorageFile::createTree(const std::string& name) {
  if (broken_ || name.size() + kDirectoryName > static_cast<size_t>(kRecordAreaSize)) return false;
  CachedPage* root = NewPage(kDataLeaf, StorageFile::kOwnNumber);
  if (root == nullptr) return false;
  uint32_t rootNumber = root->number;
  Release(root);
  int32_t nameLength = static_cast<int32_t>(name.size());
  ByteString entry(static_cast<size_t>(kDirectoryName + nameLength));
  StoreBig16(entry.data(), static_cast<uint32_t>(entry.size()));
  StoreStatus(entry.data(), kLive, transaction_);
  StoreBig32(entry.data() + kDirectoryRecordId, newRecordId());
  StoreBig32(entry.data() + kDirectoryRoot, rootNumber);
  StoreBig32(entry.data() + kDirectoryNameLength, static_cast<uint32_t>(nameLength));
  memcpy(entry.data() + kDirectoryName, name.data(), name.size());
  ByteString key;
  DirectoryKey(entry.data() + kDirectoryName, nameLength, &key);
  std::unique_ptr<TreeCursor> directory = MakeCursor(this, TreeIdentity{}, {}, nullptr);
  bool inserted = directory && directory->seek(key) && directory->insertHere(entry);
  ForgetTreeNames();  // a name may now be found earlier in the directory
  return inserted;
}

std::unique_ptr<TreeCursor> StorageFile::openTree(const std::string& name, const KeyFieldList& keyFields,
                                                  const ByteString* prefixFilter) {
  const TreeIdentity* tree = broken_ ? nullptr : FindTree(name);
  return tree ? MakeCursor(this, *tree, keyFields, prefixFilter) : nullptr;
}

bool StorageFile::insertRecord(const std::string& name, const ByteString& record, const KeyFieldList& keyFields) {
  const TreeIdentity* tree = broken_ ? nullptr : FindTree(name);
  if (tree == nullptr || record.size() < static_cast<size_t>(kRecordFields)) return false;
  if (inserter_) {
    inserter_->Retarget(*tree, keyFields);
  } else {
    inserter_.reset(new TreeCursor(this, *tree, keyFields));
  }
  insertRecord_.assign(record.begin(), record.end());
  StoreStatus(insertRecord_.data(), kLive, transaction_);
  StoreBig32(insertRecord_.data() + kRecordId, newRecordId());
  RecordKey(insertRecord_.data(), static_cast<int32_t>(insertRecord_.size()), keyFields, &insertKey_);
  bool inserted = inserter_->seek(insertKey_) && inserter_->insertHere(insertRecord_);
  inserter_->ReleaseLevels();
  return inserted;
}

bool StorageFile::scanEqualKey(const std::string& name, const ByteString& key, const KeyFieldList& keyFields,
                               const FieldFormat* formats, int32_t count, uint8_t* valueBlock,
                               const std::function<void(uint8_t* valueBlock)>& callback) {
  std::unique_ptr<TreeCursor> cursor = openTree(name, keyFields);
  if (!cursor || !cursor->seek(key)) return false;
  ByteString scratch;
  while (cursor->next()) {
    int32_t length;
    const uint8_t* record = cursor->currentRecord(&length);
    if (record[kEntryStatus] == kDeleted) continue;
    int order = CompareEntryKey(kDataLeaf, record, keyFields, key, &scratch);
    // Keys are in order: past the first greater one no equal key can follow.
    if (order > 0) break;
    if (order == 0) {
      DecodeFields(record, length, formats, count, valueBlock);
      callback(valueBlock);
    }
  }
  return cursor->close();
}

// Transactions.

// The pages of the current transaction, by the change chain.
std::vector<CachedPage*> StorageFile::ChangedPages() const {
  std::vector<CachedPage*> pages;
  for (uint32_t number = chainHead_; number != kChainEnd && pages.size() < static_cast<size_t>(cache_.Count());) {
    CachedPage* page = cache_.Find(number);
    if (page == nullptr) break;
    pages.push_back(page);
    number = LoadBig32(page->bytes + kPageChain);
  }
  return pages;
}

void StorageFile::HeaderBytes(uint8_t* header, uint32_t transaction, uint32_t flag) const {
  memset(header, 0, kHeaderSize);
  StoreBig32(header + kHeaderMagic, kMagic);
  StoreBig32(header + kHeaderVersion, kVersion);
  StoreBig32(header + kHeaderTransaction, transaction);
  StoreBig32(header + kHeaderOpenFlag, flag);
  StoreBig32(header + kHeaderNextRecordId, nextRecordId_);
  StoreBig32(header + kHeaderDirectoryRoot, directoryRoot_);
}

bool StorageFile::ApplyDeferredRecords() {
  bool applied = true;
  std::vector<TreeCursor*> open(cursors_);
  for (TreeCursor* cursor : open) applied = cursor->ApplyDeferred(true) && applied;
  return applied;
}

bool StorageFile::commit() {
  if (broken_) return false;
  // Records that updates moved join the transaction that moved them.
  if (!ApplyDeferredRecords()) Fail();
  if (!inTransaction_) return true;
  if (transactionDamaged_) {
    DiscardTransaction();
    return false;
  }
  std::vector<CachedPage*> pages = ChangedPages();
  std::sort(pages.begin(), pages.end(), [](CachedPage* a, CachedPage* b) { return a->number < b->number; });

  bool touched = false;
  if (!WriteBack(pages, &touched)) {
    // Part of the transaction may be in the file: its journal puts the last commit back.
    if (touched && !journal::Restore(*journal_, *file_, transaction_)) broken_ = true;
    DiscardTransaction();
    return false;
  }
  for (CachedPage* page : pages) cache_.SetDirty(page, false);
  committedPageCount_ = pageCount_;
  committedLength_ = std::max(committedLength_, kHeaderSize + static_cast<int64_t>(pageCount_) * kPageSize);
  committedNextRecordId_ = nextRecordId_;
  committedDirectoryRoot_ = directoryRoot_;
  transaction_++;
  inTransaction_ = false;
  chainHead_ = kChainEnd;
  if (journal_->Length() > kJournalKeptLength) journal_->SetLength(0);
  cache_.Trim(cacheLimit_);
  return true;
}

// The order of writes and flushes is what makes a crash at any point recoverable: the journal is
// complete and flushed before the flag is set or any page is written, and every page is flushed
// before the header with the flag cleared is written.
bool StorageFile::WriteBack(const std::vector<CachedPage*>& pages, bool* touched) {
  uint8_t header[kHeaderSize];
  std::vector<uint8_t> originals;
  std::vector<journal::PageImage> images;
  for (CachedPage* page : pages)
    if (page->number < committedPageCount_) images.push_back({page->number, nullptr});
  originals.resize(images.size() * kPageSize);
  for (size_t index = 0; index < images.size(); index++) {
    images[index].bytes = originals.data() + index * kPageSize;
    if (!file_->Read(kHeaderSize + static_cast<int64_t>(images[index].number) * kPageSize,
                     originals.data() + index * kPageSize, kPageSize))
      return false;
  }
  if (!file_->Read(0, header, kHeaderSize)) return false;
  if (!journal_) journal_ = io_.Create(journal::PathFor(path_));
  if (!journal_ || !journal::Write(*journal_, transaction_, committedLength_, header, images)) return false;

  // The flag and the pages reach the disk together: the journal is hot either way.
  *touched = true;
  uint8_t open[8];
  StoreBig32(open, transaction_);
  StoreBig32(open + 4, 1);
  if (!file_->Write(kHeaderTransaction, open, 8)) return false;

  std::vector<uint8_t> run;
  for (size_t first = 0; first < pages.size();) {
    size_t last = first + 1;
    while (last < pages.size() && last - first < kPagesPerWrite && pages[last]->number == pages[last - 1]->number + 1)
      last++;
    const uint8_t* bytes = pages[first]->bytes;
    if (last - first > 1) {
      run.resize((last - first) * kPageSize);
      for (size_t index = first; index < last; index++)
        memcpy(run.data() + (index - first) * kPageSize, pages[index]->bytes, kPageSize);
      bytes = run.data();
    }
    if (!file_->Write(kHeaderSize + static_cast<int64_t>(pages[first]->number) * kPageSize, bytes,
                      static_cast<int32_t>((last - first) * kPageSize)))
      return false;
    first = last;
  }
  if (!file_->Flush()) return false;
  HeaderBytes(header, transaction_, 0);
  return file_->Write(0, header, kHeaderSize) && file_->Flush();
}

// A rollback puts back the pages as the last commit left them rather than flipping the
// statuses of the entries the transaction stamped: records that a split of the transaction
// moved keep their older stamps and stay reachable, a record inserted and deleted in the same
// transaction does not come back, and roots the transaction grew shrink back with the pages.
void StorageFile::DiscardTransaction() {
  for (TreeCursor* cursor : cursors_) {
    cursor->SavePosition();
    cursor->DropDeferred();
  }
  std::vector<CachedPage*> pages = ChangedPages();
  // The next fetch reads the committed image again.
  for (CachedPage* page : pages) cache_.Drop(page);
  pageCount_ = committedPageCount_;
  directoryRoot_ = committedDirectoryRoot_;
  treeRoots_.clear();
  ForgetTreeNames();
  transaction_++;
  inTransaction_ = false;
  chainHead_ = kChainEnd;
  transactionDamaged_ = false;
}

bool StorageFile::rollback() {
  if (broken_) return false;
  if (inTransaction_) DiscardTransaction();
  return true;
}
