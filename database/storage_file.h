// One open database file: its header, the page cache, transactions and the trees named in its
// directory. Pages are written back only at commit, rollback and close, through the journal
// that makes a commit crash-safe; a rollback puts back the pages of the last commit.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "database/page_cache.h"
#include "database/record_encoding.h"
#include "database/storage_io.h"

class TreeCursor;

// Which tree a cursor walks: the directory, or the data tree of one directory entry.
struct TreeIdentity {
  bool directory = true;
  uint32_t recordId = 0;  // of the directory entry
  std::string name;       // the stored name, for finding that entry again
  bool operator==(const TreeIdentity& other) const {
    return directory == other.directory && recordId == other.recordId;
  }
};

class StorageFile {
 public:
  ~StorageFile();
  StorageFile(const StorageFile&) = delete;
  StorageFile& operator=(const StorageFile&) = delete;

  uint32_t newRecordId() { return nextRecordId_++; }
  // Ends the current transaction. A transaction begins by itself with the first change. A
  // commit that fails rolls the transaction back.
  bool commit();
  bool rollback();

  bool createTree(const std::string& name);
  // A cursor before the first record of the first tree whose name equals name, letter case
  // aside; nothing when there is none.
  std::unique_ptr<TreeCursor> openTree(const std::string& name, const KeyFieldList& keyFields = {},
                                       const ByteString* prefixFilter = nullptr);
  // The names of the live trees, in directory order.
  std::vector<std::string> TreeNames();
  // Stamps the record (live, this transaction, a new record id) and inserts it at its key.
  bool insertRecord(const std::string& name, const ByteString& record, const KeyFieldList& keyFields);
  // Delivers every live record whose key equals key, decoded into valueBlock through formats.
  bool scanEqualKey(const std::string& name, const ByteString& key, const KeyFieldList& keyFields,
                    const FieldFormat* formats, int32_t count, uint8_t* valueBlock,
                    const std::function<void(uint8_t* valueBlock)>& callback);

  // Large values, kept in sys$blob as chunks; the reference is the record id of one chunk.
  bool storeLargeValue(const uint8_t* bytes, int32_t length, uint32_t* reference);
  bool readLargeValue(uint32_t reference, ByteString* value);
  bool deleteLargeValue(uint32_t reference);

  uint32_t TransactionNumber() const { return transaction_; }
  bool InTransaction() const { return inTransaction_; }
  uint32_t PageCount() const { return pageCount_; }
  // Clean pages beyond this many are dropped, least recently used first.
  void SetCacheLimit(int32_t pages) { cacheLimit_ = pages; }
  // After an I/O failure that left the file needing recovery, every operation fails until the
  // file is opened again.
  bool Broken() const { return broken_; }

 private:
  friend class TreeCursor;
  friend std::unique_ptr<StorageFile> createStorageFile(const std::string&, StorageIo&);
  friend std::unique_ptr<StorageFile> openStorageFile(const std::string&, StorageIo&);
  friend bool closeStorageFile(std::unique_ptr<StorageFile>);

  StorageFile(StorageIo& io, std::string path) : io_(io), path_(std::move(path)) {}
  // The owner word of a page made as the first page of a tree or as a new root: its own number.
  static constexpr uint32_t kOwnNumber = 0xFFFFFFFF;

  // Pages. A fetched or new page is pinned until released. A change is announced first: any
  // change by MarkChanged, which opens the transaction and puts the page on the change chain; a
  // change that moves entries by PageChanging, on behalf of the cursor making it.
  CachedPage* Fetch(uint32_t number);
  void Release(CachedPage* page);
  CachedPage* NewPage(uint32_t kind, uint32_t owner);
  void MarkChanged(CachedPage* page);
  void PageChanging(CachedPage* page, const TreeCursor* changing);
  bool CanAddPages(uint32_t count) const;
  void PurgeDeleted(CachedPage* page);

  // Trees and cursors.
  // The tree of that name, good until the next tree is made or a rollback.
  const TreeIdentity* FindTree(const std::string& name);
  void ForgetTreeNames();
  bool TreeRoot(const TreeIdentity& tree, uint32_t* root);
  bool SetTreeRoot(const TreeIdentity& tree, uint32_t root);
  void Register(TreeCursor* cursor) { cursors_.push_back(cursor); }
  void Unregister(TreeCursor* cursor);
  void DetachCursors();
  // Other cursors on the tree remember their place by key before its root changes.
  void SaveCursors(const TreeIdentity& tree, const TreeCursor* changing);
  bool StoreChunk(TreeCursor& blob, int32_t kind, const uint8_t* payload, int32_t length, uint32_t* id);
  bool FindChunk(TreeCursor& blob, uint32_t id);

  // Transactions.
  bool ApplyDeferredRecords();
  std::vector<CachedPage*> ChangedPages() const;
  bool WriteBack(const std::vector<CachedPage*>& pages, bool* touched);
  void DiscardTransaction();
  void Fail() { transactionDamaged_ = true; }
  void HeaderBytes(uint8_t* header, uint32_t transaction, uint32_t flag) const;

  StorageIo& io_;
  std::string path_;
  std::unique_ptr<StorageIoFile> file_;
  std::unique_ptr<StorageIoFile> journal_;
  PageCache cache_;
  int32_t cacheLimit_ = 8192;

  uint32_t pageCount_ = 0;
  uint32_t nextRecordId_ = 1;
  uint32_t transaction_ = 1;
  bool inTransaction_ = false;
  uint32_t chainHead_ = storage_format::kChainEnd;
  uint32_t directoryRoot_ = 0;
  // What the file holds as of the last commit.
  uint32_t committedPageCount_ = 0;
  int64_t committedLength_ = storage_format::kHeaderSize;
  uint32_t committedNextRecordId_ = 1;
  uint32_t committedDirectoryRoot_ = 0;
  // A change that stopped half-way: the transaction can only be rolled back.
  bool transactionDamaged_ = false;
  bool broken_ = false;

  std::vector<TreeCursor*> cursors_;
  std::unordered_map<uint32_t, uint32_t> treeRoots_;         // directory entry id -> root page
  std::unordered_map<std::string, TreeIdentity> treeNames_;  // folded name -> tree
  std::string lastTreeName_;                                 // as last asked for, while treeNames_ holds it
  const TreeIdentity* lastTree_ = nullptr;
  // Reused by every insertRecord, with its buffers: an insert allocates nothing.
  std::unique_ptr<TreeCursor> inserter_;
  ByteString insertRecord_, insertKey_;
};

std::unique_ptr<StorageFile> createStorageFile(const std::string& path, StorageIo& io = PlatformStorageIo());
std::unique_ptr<StorageFile> openStorageFile(const std::string& path, StorageIo& io = PlatformStorageIo());
// Commits, writes back and closes; open cursors of the file stop working.
bool closeStorageFile(std::unique_ptr<StorageFile> file);

// An entry of the given page kind that may be stored: its length word right, its fields
// readable, and no larger than a page's record area.
bool StoredEntryValid(uint32_t pageKind, const uint8_t* entry, int32_t length);
std::unique_ptr<TreeCursor> MakeCursor(StorageFile* file, TreeIdentity tree, const KeyFieldList& keyFields,
                                       const ByteString* prefixFilter);

// The three catalog trees of a new database, in their order.
bool CreateCatalogTrees(StorageFile& file);

// A cursor on one tree: a stack of positions from the root down to the current leaf entry.
class TreeCursor {
 public:
  ~TreeCursor();
  TreeCursor(const TreeCursor&) = delete;
  TreeCursor& operator=(const TreeCursor&) = delete;

  // Positions on the first entry whose key is not less than key; false when a page could not be
  // read.
  bool seek(const ByteString& key);
  // The next leaf entry in key order, whatever its status; false at the end.
  bool next();
  // The next live entry that begins with the prefix filter.
  bool nextMatching();
  bool isValid();
  bool isLive();
  // The current entry's bytes, good until the cursor or the file changes.
  const uint8_t* currentRecord(int32_t* length);
  struct FieldValue {
    uint8_t typeCode = 0;  // 0: the record has no such field
    const void* value = nullptr;
    int32_t length = 0;
  };
  // Numbers, references, dates and times as a host-order copy; strings and binary chunks as
  // their bytes after the length; a boolean as its byte.
  FieldValue field(uint8_t fieldId);
  bool deleteCurrent();
  // Inserts a complete entry before the current position; the cursor stays on the entry that
  // was there. Refused (false, nothing changed) when the entry would not fit a page.
  bool insertHere(const ByteString& entry);
  // An update: a new record with a new id replaces the current one, in place when its key is
  // the same, otherwise from a side file when the cursor closes (so a scan in progress does not
  // meet it again) or at the next commit, whichever comes first.
  bool replaceCurrent(const ByteString& newRecord, const ByteString& newKey);
  // Inserts the deferred records and releases the pages.
  bool close();

  // The key of the current entry under the cursor's key field list.
  bool CurrentKey(ByteString* key);
  // The order of the current entry's key against key (-1, 0 or 1; 1 without a current entry).
  int CompareCurrentKey(const ByteString& key);

 private:
  friend class StorageFile;
  friend std::unique_ptr<TreeCursor> MakeCursor(StorageFile*, TreeIdentity, const KeyFieldList&, const ByteString*);

  struct LevelPosition {
    uint32_t page;
    int32_t offset;  // of the current entry in the record area
    CachedPage* pinned;
  };
  // Where a cursor that had to let go of its pages resumes.
  enum class Resume { None, AtStart, AtEntry, AtLowerBound };

  TreeCursor(StorageFile* file, TreeIdentity tree, KeyFieldList keyFields);
  // An idle cursor made ready for another tree.
  void Retarget(const TreeIdentity& tree, const KeyFieldList& keyFields);

  bool Reset();
  bool Push(uint32_t page, int32_t offset);
  void ReleaseLevels();
  bool Ready();
  bool Restore();
  void SavePosition();
  bool LeafEntry(CachedPage** page, int32_t* offset);
  LevelPosition& Level(size_t fromBottom) { return levels_[levels_.size() - 1 - fromBottom]; }
  bool SetLevel(size_t fromBottom, uint32_t page, int32_t offset);
  bool InsertAt(size_t fromBottom, const uint8_t* entry, int32_t length);
  bool InsertAfterCurrent(size_t fromBottom, const ByteString& entry);
  bool GrowRoot();
  bool Split(size_t fromBottom, const uint8_t* entry, int32_t length);
  bool ParentEntry(CachedPage* child, const uint8_t* firstEntry, int32_t count, ByteString* entry);
  int32_t TailCount(CachedPage* page, int32_t from, int32_t to);
  bool ApplyDeferred(bool remember);
  void DropDeferred();

  StorageFile* file_;
  TreeIdentity tree_;
  KeyFieldList keyFields_;
  bool filtered_ = false;
  ByteString prefixFilter_;
  std::vector<LevelPosition> levels_;  // the root first
  bool fresh_ = true;
  bool atStart_ = false;    // on the root as made, before any step
  bool tailMoved_ = false;  // the last insertion split its leaf and moved what followed away
  uint32_t leafKind_;
  int32_t descents_ = 0;

  Resume resume_ = Resume::None;
  ByteString resumeKey_;
  uint32_t resumeRecordId_ = 0;
  bool resumeFresh_ = false;

  std::unique_ptr<StorageIoFile> deferred_;
  int64_t deferredLength_ = 0;
  std::unordered_set<uint32_t> movedRecords_;  // ids of its moved records inserted at a commit: its scan skips them

  ByteString scratchKey_;
  alignas(8) uint8_t fieldCopy_[8];
};
