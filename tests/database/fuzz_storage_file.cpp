// Any bytes as a database file (and, when the last four bytes say so, the journal beside it):
// open, walk every tree, read fields, keys and large values, then change and commit. No crash,
// no hang, no read or write outside a page.
//
// Input: database bytes, journal bytes, then the journal's length as 4 big-endian bytes.
#include <cstddef>
#include <cstdint>

#include "database/journal.h"
#include "tests/database/storage_test_support.h"

using namespace storage_test;

namespace {

void Walk(StorageFile& file, const std::string& name, const ByteString& probe) {
  std::unique_ptr<TreeCursor> cursor = file.openTree(name, {0, 1});
  if (!cursor) return;
  ByteString key;
  bool blob = name == kBlobTree;
  for (int32_t count = 0; count < 4000 && cursor->nextMatching(); count++) {
    for (uint8_t id = 0; id < 3; id++) cursor->field(id);
    cursor->CurrentKey(&key);
    int32_t length;
    const uint8_t* record = cursor->currentRecord(&length);
    if (blob && count < 8) {
      ByteString value;
      file.readLargeValue(LoadBig32(record + kRecordId), &value);
    }
  }
  cursor = file.openTree(name, {0}, &probe);
  for (int32_t count = 0; cursor && count < 100 && cursor->nextMatching(); count++) {
  }
  cursor = file.openTree(name, {1});
  if (cursor && cursor->seek(probe)) cursor->next();
}

void Change(StorageFile& file, const std::vector<std::string>& names) {
  for (size_t index = 0; index < names.size() && index < 4; index++) {
    file.insertRecord(names[index], KeyedRecord(static_cast<int32_t>(index), "fuzz"), {0});
    std::unique_ptr<TreeCursor> cursor = file.openTree(names[index], {0});
    for (int32_t count = 0; cursor && count < 3 && cursor->nextMatching(); count++) {
      if (count == 0) cursor->replaceCurrent(KeyedRecord(7, "same"), IntegerKey(7));
      if (count == 1) cursor->replaceCurrent(KeyedRecord(-7, "moved"), IntegerKey(-7));
      if (count == 2) cursor->deleteCurrent();
    }
  }
  uint32_t reference;
  ByteString large(4500, 'L');
  if (file.storeLargeValue(large.data(), static_cast<int32_t>(large.size()), &reference)) {
    file.readLargeValue(reference, &large);
    file.deleteLargeValue(reference);
  }
  file.createTree("fuzz");
  file.commit();
  if (!names.empty()) file.insertRecord(names.front(), KeyedRecord(99, "undone"), {0});
  file.rollback();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 4 || size > (4 << 20)) return 0;
  size_t journalLength = LoadBig32(data + size - 4);
  if (journalLength > size - 4) journalLength = 0;
  size_t databaseLength = size - 4 - journalLength;
  MemoryStorage io;
  io.Put(kPath, std::vector<uint8_t>(data, data + databaseLength));
  if (journalLength)
    io.Put(journal::PathFor(kPath), std::vector<uint8_t>(data + databaseLength, data + databaseLength + journalLength));

  std::unique_ptr<StorageFile> file = openStorageFile(kPath, io);
  if (!file) return 0;
  file->SetCacheLimit(16);
  std::vector<std::string> names = file->TreeNames();
  if (names.size() > 8) names.resize(8);
  ByteString probe(data, data + std::min<size_t>(databaseLength, 6));
  for (const std::string& name : names) Walk(*file, name, probe);
  Change(*file, names);
  closeStorageFile(std::move(file));
  return 0;
}
