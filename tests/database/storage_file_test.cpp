#include <gtest/gtest.h>
#include <stdlib.h>

#include <array>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "core/runtime_string.h"
#include "database/journal.h"
#include "platform/kernel/paths.h"
#include "tests/database/storage_test_support.h"

using namespace storage_test;

namespace {

std::vector<uint8_t> ReadHostFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

// A new database with its three catalog trees, in memory.
std::unique_ptr<StorageFile> NewDatabase(MemoryStorage& io) {
  std::unique_ptr<StorageFile> file = createStorageFile(kPath, io);
  EXPECT_TRUE(file && CreateCatalogTrees(*file));
  return file;
}

std::unique_ptr<StorageFile> Reopen(MemoryStorage& io, std::unique_ptr<StorageFile> file) {
  EXPECT_TRUE(closeStorageFile(std::move(file)));
  return openStorageFile(kPath, io);
}

// A record of exactly length bytes: key field 0, then a text filling the rest.
ByteString SizedRecord(int32_t key, int32_t length) {
  return KeyedRecord(key, std::string(static_cast<size_t>(length - 10 - 6 - 6), 'x'));
}

TEST(StorageFileTest, NewDatabaseMatchesByteFixture) {
  char folder[] = "/tmp/kwdbXXXXXX";
  ASSERT_NE(mkdtemp(folder), nullptr);
  std::string host = std::string(folder) + "/new.kwdb";
  std::string path = kwplatform::WindowsPathFromHostPath(host);
  std::unique_ptr<StorageFile> file = createStorageFile(path);
  ASSERT_TRUE(file);
  ASSERT_TRUE(CreateCatalogTrees(*file));
  ASSERT_TRUE(closeStorageFile(std::move(file)));

  std::vector<uint8_t> made = ReadHostFile(host);
  std::vector<uint8_t> fixture = ReadHostFile(KW_DATABASE_FIXTURES "/new_database.kwdb");
  ASSERT_EQ(fixture.size(), 64u + 4 * 8192);
  ASSERT_EQ(made.size(), fixture.size());
  auto differs = std::mismatch(made.begin(), made.end(), fixture.begin());
  EXPECT_TRUE(differs.first == made.end()) << "first difference at byte " << (differs.first - made.begin());
  // The side file is gone once the file is closed.
  EXPECT_FALSE(std::filesystem::exists(host + "-journal"));

  file = openStorageFile(path);
  ASSERT_TRUE(file);
  EXPECT_EQ(file->TreeNames(), (std::vector<std::string>{"sys$blob", "sys$fields", "sys$tables"}));
  EXPECT_TRUE(closeStorageFile(std::move(file)));
  std::filesystem::remove_all(folder);
}

TEST(StorageFileTest, ReopeningNumbersTransactionsAfterTheStoredOne) {
  MemoryStorage io;
  std::unique_ptr<StorageFile> file = NewDatabase(io);
  EXPECT_EQ(file->TransactionNumber(), 1u);
  ASSERT_TRUE(file->commit());
  EXPECT_EQ(file->TransactionNumber(), 2u);
  ASSERT_TRUE(file->createTree("t"));
  ASSERT_TRUE(file->insertRecord("t", KeyedRecord(1, "one"), {0}));
  file = Reopen(io, std::move(file));
  ASSERT_TRUE(file);
  // The file says 2, the transaction that wrote the record; the next one is 3.
  EXPECT_EQ(LoadBig32(io.Content(kPath).data() + kHeaderTransaction), 2u);
  EXPECT_EQ(file->TransactionNumber(), 3u);
  std::unique_ptr<TreeCursor> cursor = file->openTree("t");
  ASSERT_TRUE(cursor->nextMatching());
  int32_t length;
  EXPECT_EQ(EntryStamp(cursor->currentRecord(&length)), 2u);
}

TEST(StorageFileTest, TreeNamesCompareWithoutLetterCase) {
  MemoryStorage io;
  std::unique_ptr<StorageFile> file = NewDatabase(io);
  ASSERT_TRUE(file->createTree("Customers"));
  ASSERT_TRUE(file->insertRecord("CUSTOMERS", KeyedRecord(7, "seven"), {0}));
  EXPECT_EQ(Keys(*file, "customers"), std::vector<int32_t>{7});
  EXPECT_EQ(Keys(*file, "SYS$TABLES"), std::vector<int32_t>{});
  EXPECT_EQ(file->openTree("Customer"), nullptr);
}

// Record bytes and key bytes of every type code.
TEST(StorageFileTest, EncodesRecordsAndKeysOfEveryType) {
  struct Case {
    uint8_t type;
    std::vector<uint8_t> slot;
    ByteString value;  // as stored
    ByteString key;    // the key part
  };
  RuntimeString* text = StringFromCString("Ab");
  std::vector<uint8_t> textSlot(8);
  memcpy(textSlot.data(), &text, sizeof text);
  auto slotOf = [](auto value) {
    std::vector<uint8_t> slot(8);
    memcpy(slot.data(), &value, sizeof value);
    return slot;
  };
  const Case cases[] = {
      {kSmallInt, slotOf(int16_t{-2}), {0xFF, 0xFE}, {0x01, 0x7F, 0xFE}},
      {kInteger, slotOf(int32_t{5}), {0, 0, 0, 5}, {0x01, 0x80, 0, 0, 5}},
      {kLongVarChar, slotOf(int32_t{9}), {0, 0, 0, 9}, {0x01, 0x80, 0, 0, 9}},
      {kVarChar, textSlot, {0, 0, 0, 2, 'A', 'b'}, {0x01, 72, 89, 0x00}},
      {kFloat, slotOf(1.0f), {0x3F, 0x80, 0, 0}, {0x01, 0xBF, 0x80, 0, 0}},
      {kFloat, slotOf(-1.0f), {0xBF, 0x80, 0, 0}, {0x01, 0x40, 0x7F, 0xFF, 0xFF}},
      {kDouble, slotOf(-2.0), {0xC0, 0, 0, 0, 0, 0, 0, 0}, {0x01, 0x3F, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}},
      {kDate,
       slotOf(std::array<int16_t, 3>{1999, 12, 31}),
       {0x07, 0xCF, 0, 12, 0, 31},
       {0x01, 0x07, 0xCF, 0, 12, 0, 31}},
      {kBoolean, slotOf(uint8_t{1}), {1}, {0x01, 1}},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(testing::Message() << "type " << int{test.type});
    FieldFormat format{4, test.type, 0};
    ByteString record, key;
    ASSERT_TRUE(encodeRecord(test.slot.data(), &format, 1, &record));
    ByteString expected{0, static_cast<uint8_t>(12 + test.value.size()), 0, 0, 0, 0, 0, 0, 0, 0, 4, test.type};
    expected.insert(expected.end(), test.value.begin(), test.value.end());
    EXPECT_EQ(record, expected);
    ASSERT_TRUE(encodeKey(test.slot.data(), &format, 1, {4}, &key));
    EXPECT_EQ(key, test.key);
    // A field the record lacks gives 0x00.
    ASSERT_TRUE(encodeKey(test.slot.data(), &format, 1, {3, 4}, &key));
    EXPECT_EQ(key[0], 0x00);
  }
  StringRelease(text);
}

TEST(StorageFileTest, ExactFitDoesNotSplitAndOneByteMoreSplits) {
  for (int32_t extra : {0, 1}) {
    SCOPED_TRACE(testing::Message() << "extra " << extra);
    MemoryStorage io;
    std::unique_ptr<StorageFile> file = NewDatabase(io);
    ASSERT_TRUE(file->createTree("t"));
    // 4000 + 4174 bytes fill the record area exactly.
    ASSERT_TRUE(file->insertRecord("t", SizedRecord(1, 4000), {0}));
    ASSERT_TRUE(file->insertRecord("t", SizedRecord(2, 4174 + extra), {0}));
    uint32_t pages = file->PageCount();
    ASSERT_TRUE(closeStorageFile(std::move(file)));
    std::vector<uint8_t> bytes = io.Content(kPath);
    if (extra == 0) {
      EXPECT_EQ(pages, 5u);
      EXPECT_EQ(UsedOf(PageBytes(bytes, 4)), 8174);
    } else {
      // Appending at the end: the new page holds the new record alone, under a new root.
      EXPECT_EQ(pages, 7u);
      EXPECT_EQ(UsedOf(PageBytes(bytes, 4)), 4000);
      EXPECT_EQ(UsedOf(PageBytes(bytes, 5)), 4175);
      EXPECT_EQ(KindOf(PageBytes(bytes, 6)), kInteriorPage);
    }
  }
}

TEST(StorageFileTest, AppendingInKeyOrderFillsPagesCompletely) {
  MemoryStorage io;
  std::unique_ptr<StorageFile> file = NewDatabase(io);
  ASSERT_TRUE(file->createTree("t"));
  // 61 records of 134 bytes fill 8174 bytes exactly; 610 make ten full leaves.
  for (int32_t key = 0; key < 610; key++) ASSERT_TRUE(file->insertRecord("t", SizedRecord(key, 134), {0}));
  ASSERT_TRUE(closeStorageFile(std::move(file)));
  std::vector<uint8_t> bytes = io.Content(kPath);
  int leaves = 0, interior = 0;
  for (uint32_t page = 4; page < (bytes.size() - kHeaderSize) / kPageSize; page++) {
    ByteString image = PageBytes(bytes, page);
    if (KindOf(image) == kDataLeaf) {
      leaves++;
      EXPECT_EQ(UsedOf(image), 8174) << "page " << page;
    } else {
      interior++;
    }
  }
  EXPECT_EQ(leaves, 10);
  EXPECT_EQ(interior, 1);
  file = openStorageFile(kPath, io);
  std::vector<int32_t> keys = Keys(*file, "t");
  ASSERT_EQ(keys.size(), 610u);
  for (int32_t key = 0; key < 610; key++) EXPECT_EQ(keys[static_cast<size_t>(key)], key);
}

// The three ways a full page is cut at the insertion point, by the record inserted between
// keys 10 and 20 of a full leaf.
TEST(StorageFileTest, SplitsAtInsertionPointWhenFull) {
  struct Case {
    const char* name;
    int32_t first, second, inserted;  // lengths: first + second = 8174 fills the leaf
    std::vector<int32_t> leafUsed;    // used of the old leaf and of the new ones, in page order
    std::vector<int32_t> separators;  // keys of the root's entries after the first
    std::vector<int32_t> counts;      // and their subtree counts
  };
  const Case cases[] = {
      // The tail moves to a new page; the new record stays at the insertion point.
      {"tail moves", 4087, 4087, 100, {4187, 4087}, {20}, {1}},
      // The new record leads the tail on one new page.
      {"record leads tail", 7000, 1174, 2000, {7000, 3174}, {15}, {2}},
      // Neither fits beside the other: the record alone, then the tail.
      {"record alone", 3000, 5174, 6000, {3000, 6000, 5174}, {15, 20}, {1, 1}},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.name);
    MemoryStorage io;
    std::unique_ptr<StorageFile> file = NewDatabase(io);
    ASSERT_TRUE(file->createTree("t"));
    ASSERT_TRUE(file->insertRecord("t", SizedRecord(10, test.first), {0}));
    ASSERT_TRUE(file->insertRecord("t", SizedRecord(20, test.second), {0}));
    ASSERT_TRUE(file->insertRecord("t", SizedRecord(15, test.inserted), {0}));
    ASSERT_TRUE(closeStorageFile(std::move(file)));
    std::vector<uint8_t> bytes = io.Content(kPath);
    std::vector<int32_t> used;
    uint32_t root = 0;
    for (uint32_t page = 4; page < (bytes.size() - kHeaderSize) / kPageSize; page++) {
      ByteString image = PageBytes(bytes, page);
      if (KindOf(image) == kInteriorPage) root = page;
      if (KindOf(image) == kDataLeaf) {
        used.push_back(UsedOf(image));
        EXPECT_EQ(LoadBig32(image.data() + kPageOwner), 4u);
      }
    }
    EXPECT_EQ(used, test.leafUsed);
    ASSERT_NE(root, 0u);
    ByteString image = PageBytes(bytes, root);
    EXPECT_EQ(LoadBig32(image.data() + kPageOwner), root);
    // The root's first entry leads to the old leaf with an empty key, then one entry per new page.
    std::vector<int32_t> separators, counts;
    const uint8_t* area = image.data() + kPageHeaderSize;
    EXPECT_EQ(LoadBig16(area), kInteriorKey);
    EXPECT_EQ(LoadBig32(area + kInteriorChild), 4u);
    for (int32_t offset = kInteriorKey; offset < UsedOf(image); offset += LoadBig16(area + offset)) {
      ASSERT_EQ(LoadBig16(area + offset), kInteriorKey + 5);
      separators.push_back(static_cast<int32_t>(LoadBig32(area + offset + kInteriorKey + 1) ^ 0x80000000u));
      counts.push_back(LoadBig16(area + offset + kInteriorCount));
    }
    EXPECT_EQ(separators, test.separators);
    EXPECT_EQ(counts, test.counts);
    file = openStorageFile(kPath, io);
    EXPECT_EQ(Keys(*file, "t"), (std::vector<int32_t>{10, 15, 20}));
  }
}

TEST(StorageFileTest, RootGrowthIsRecordedAndManyRandomInsertsStayOrdered) {
  MemoryStorage io;
  std::unique_ptr<StorageFile> file = NewDatabase(io);
  ASSERT_TRUE(file->createTree("t"));
  std::vector<int32_t> expected;
  std::mt19937 random(7);
  for (int32_t index = 0; index < 4000; index++) {
    int32_t key = static_cast<int32_t>(random() % 100000) - 50000;
    expected.push_back(key);
    ASSERT_TRUE(file->insertRecord("t", KeyedRecord(key, std::string(random() % 300, 'k')), {0}));
  }
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(Keys(*file, "t"), expected);
  file = Reopen(io, std::move(file));
  EXPECT_EQ(Keys(*file, "t"), expected);
  // Each key is found by search.
  for (int32_t key : {expected.front(), expected[1000], expected.back()}) {
    std::unique_ptr<TreeCursor> cursor = file->openTree("t", {0});
    ASSERT_TRUE(cursor->seek(IntegerKey(key)));
    ASSERT_TRUE(cursor->nextMatching());
    int32_t found;
    memcpy(&found, cursor->field(0).value, 4);
    EXPECT_EQ(found, key);
  }
}

TEST(StorageFileTest, TableWithoutKeyKeepsInsertionOrderAndEqualKeysComeNewestFirst) {
  MemoryStorage io;
  std::unique_ptr<StorageFile> file = NewDatabase(io);
  ASSERT_TRUE(file->createTree("plain"));
  ASSERT_TRUE(file->createTree("keyed"));
  for (int32_t key : {3, 1, 2}) ASSERT_TRUE(file->insertRecord("plain", KeyedRecord(key, ""), {}));
  EXPECT_EQ(Keys(*file, "plain", {}), (std::vector<int32_t>{3, 1, 2}));
  for (const char* text : {"older", "newer"}) ASSERT_TRUE(file->insertRecord("keyed", KeyedRecord(5, text), {0}));
  std::unique_ptr<TreeCursor> cursor = file->openTree("keyed", {0});
  ASSERT_TRUE(cursor->nextMatching());
  TreeCursor::FieldValue text = cursor->field(1);
  EXPECT_EQ(std::string(static_cast<const char*>(text.value), static_cast<size_t>(text.length)), "newer");
}

TEST(StorageFileTest, OversizedEntriesAreRefusedWithoutChange) {
  MemoryStorage io;
  std::unique_ptr<StorageFile> file = NewDatabase(io);
  ASSERT_TRUE(file->createTree("t"));
  ASSERT_TRUE(file->insertRecord("t", SizedRecord(1, 8174), {0}));
  std::string before = Dump(*file);
  uint32_t pages = file->PageCount();
  EXPECT_FALSE(file->insertRecord("t", SizedRecord(2, 8175), {0}));
  EXPECT_FALSE(file->createTree(std::string(8157, 'n')));
  // A key too long for an interior entry: the split that needs it is refused before it starts.
  EXPECT_FALSE(file->insertRecord("t", SizedRecord(3, 8170), {1, 1}));
  EXPECT_EQ(Dump(*file), before);
  EXPECT_EQ(file->PageCount(), pages);
  EXPECT_TRUE(file->commit());
  file = Reopen(io, std::move(file));
  EXPECT_EQ(Keys(*file, "t"), std::vector<int32_t>{1});
}

TEST(StorageFileTest, RollbackRestoresDeletesAndDropsInserts) {
  MemoryStorage io;
  std::unique_ptr<StorageFile> file = NewDatabase(io);
  ASSERT_TRUE(file->createTree("t"));
  for (int32_t key = 0; key < 5; key++) ASSERT_TRUE(file->insertRecord("t", KeyedRecord(key, "v"), {0}));
  ASSERT_TRUE(file->commit());
  std::string committed = Dump(*file);

  std::unique_ptr<TreeCursor> cursor = file->openTree("t", {0});
  ASSERT_TRUE(cursor->nextMatching());
  ASSERT_TRUE(cursor->deleteCurrent());
  ASSERT_TRUE(cursor->close());
  ASSERT_TRUE(file->insertRecord("t", KeyedRecord(9, "new"), {0}));
  ASSERT_TRUE(file->insertRecord("t", KeyedRecord(10, "gone"), {0}));
  // Inserted and deleted in the same transaction: gone after the rollback too.
  cursor = file->openTree("t", {0});
  ASSERT_TRUE(cursor->seek(IntegerKey(10)) && cursor->next() && cursor->deleteCurrent());
  ASSERT_TRUE(cursor->close());
  EXPECT_EQ(Keys(*file, "t"), (std::vector<int32_t>{1, 2, 3, 4, 9}));
  ASSERT_TRUE(file->rollback());
  EXPECT_EQ(Dump(*file), committed);
  file = Reopen(io, std::move(file));
  EXPECT_EQ(Dump(*file), committed);
}

TEST(StorageFileTest, RollbackAfterSplitKeepsEarlierRecordsReachable) {
  MemoryStorage io;
  std::unique_ptr<StorageFile> file = NewDatabase(io);
  ASSERT_TRUE(file->createTree("t"));
  for (int32_t key = 0; key < 200; key += 2) ASSERT_TRUE(file->insertRecord("t", SizedRecord(key, 300), {0}));
  ASSERT_TRUE(file->commit());
  std::string committed = Dump(*file);
  // Records in the middle split leaves and grow the tree; the records they moved were committed.
  for (int32_t key = 1; key < 200; key += 2) ASSERT_TRUE(file->insertRecord("t", SizedRecord(key, 300), {0}));
  ASSERT_TRUE(file->rollback());
  EXPECT_EQ(Dump(*file), committed);
  for (int32_t key = 0; key < 200; key += 2) {
    std::unique_ptr<TreeCursor> cursor = file->openTree("t", {0});
    ASSERT_TRUE(cursor->seek(IntegerKey(key)) && cursor->nextMatching());
    int32_t found;
    memcpy(&found, cursor->field(0).value, 4);
    EXPECT_EQ(found, key);
  }
  ASSERT_TRUE(file->insertRecord("t", SizedRecord(1, 300), {0}));
  file = Reopen(io, std::move(file));
  EXPECT_EQ(Keys(*file, "t").size(), 101u);
}

TEST(StorageFileTest, DeletedRecordsArePurgedWhenTheirPageIsFirstRead) {
  MemoryStorage io;
  std::unique_ptr<StorageFile> file = NewDatabase(io);
  ASSERT_TRUE(file->createTree("t"));
  for (int32_t key = 0; key < 3; key++) ASSERT_TRUE(file->insertRecord("t", KeyedRecord(key, "abc"), {0}));
  std::unique_ptr<TreeCursor> cursor = file->openTree("t", {0});
  ASSERT_TRUE(cursor->nextMatching() && cursor->nextMatching() && cursor->deleteCurrent());
  ASSERT_TRUE(cursor->close());
  ASSERT_TRUE(closeStorageFile(std::move(file)));
  // The deleted record is still in the file, marked.
  ByteString leaf = PageBytes(io.Content(kPath), 4);
  EXPECT_EQ(UsedOf(leaf), 3 * 25);
  EXPECT_EQ(leaf[kPageHeaderSize + 25 + kEntryStatus], kDeleted);

  file = openStorageFile(kPath, io);
  EXPECT_FALSE(file->InTransaction());
  EXPECT_EQ(Keys(*file, "t"), (std::vector<int32_t>{0, 2}));
  // Reading the page dropped the record and made a change to write back.
  EXPECT_TRUE(file->InTransaction());
  ASSERT_TRUE(closeStorageFile(std::move(file)));
  leaf = PageBytes(io.Content(kPath), 4);
  EXPECT_EQ(UsedOf(leaf), 2 * 25);
  EXPECT_EQ(std::count(leaf.begin() + kPageHeaderSize + 50, leaf.end(), 0), kRecordAreaSize - 50);
}

TEST(StorageFileTest, UpdatesKeepTheirPlaceOrMoveWhenTheCursorCloses) {
  MemoryStorage io;
  std::unique_ptr<StorageFile> file = NewDatabase(io);
  ASSERT_TRUE(file->createTree("t"));
  for (int32_t key = 1; key <= 3; key++) ASSERT_TRUE(file->insertRecord("t", KeyedRecord(key, "old"), {0}));
  std::unique_ptr<TreeCursor> cursor = file->openTree("t", {0});
  std::vector<int32_t> seen;
  while (cursor->nextMatching()) {
    int32_t key;
    memcpy(&key, cursor->field(0).value, 4);
    seen.push_back(key);
    // Key 1 gets a new text in place; key 2 becomes 10, which the scan does not meet again.
    ByteString record = KeyedRecord(key == 2 ? 10 : key, "new");
    ASSERT_TRUE(cursor->replaceCurrent(record, IntegerKey(key == 2 ? 10 : key)));
  }
  EXPECT_EQ(seen, (std::vector<int32_t>{1, 2, 3}));
  EXPECT_EQ(Keys(*file, "t"), (std::vector<int32_t>{1, 3}));
  ASSERT_TRUE(cursor->close());
  EXPECT_EQ(Keys(*file, "t"), (std::vector<int32_t>{1, 3, 10}));
}

TEST(StorageFileTest, UpdateInPlaceThatSplitsItsPageDeletesTheOldRecord) {
  for (int32_t first : {1, 4}) {
    SCOPED_TRACE(testing::Message() << "updating key " << first);
    MemoryStorage io;
    std::unique_ptr<StorageFile> file = NewDatabase(io);
    ASSERT_TRUE(file->createTree("t"));
    for (int32_t key = 1; key <= 8; key++) ASSERT_TRUE(file->insertRecord("t", SizedRecord(key, 1000), {0}));
    std::unique_ptr<TreeCursor> cursor = file->openTree("t", {0});
    ASSERT_TRUE(cursor->seek(IntegerKey(first)) && cursor->nextMatching());
    // The bigger record does not fit beside the others: the page is cut before the old one.
    ASSERT_TRUE(cursor->replaceCurrent(SizedRecord(first, 3000), IntegerKey(first)));
    std::vector<int32_t> rest;
    while (cursor->nextMatching()) {
      int32_t key;
      memcpy(&key, cursor->field(0).value, 4);
      rest.push_back(key);
    }
    ASSERT_TRUE(cursor->close());
    std::vector<int32_t> after;
    for (int32_t key = first + 1; key <= 8; key++) after.push_back(key);
    EXPECT_EQ(rest, after);
    EXPECT_EQ(Keys(*file, "t"), (std::vector<int32_t>{1, 2, 3, 4, 5, 6, 7, 8}));
    cursor = file->openTree("t", {0});
    ASSERT_TRUE(cursor->seek(IntegerKey(first)) && cursor->nextMatching());
    EXPECT_EQ(cursor->field(1).length, 3000 - 22);
  }
}

TEST(StorageFileTest, MovedRecordsJoinTheCommitWhileTheScanGoesOn) {
  MemoryStorage io;
  std::unique_ptr<StorageFile> file = NewDatabase(io);
  ASSERT_TRUE(file->createTree("t"));
  for (int32_t key = 1; key <= 4; key++) ASSERT_TRUE(file->insertRecord("t", KeyedRecord(key, ""), {0}));
  ASSERT_TRUE(file->commit());
  std::unique_ptr<TreeCursor> cursor = file->openTree("t", {0});
  ASSERT_TRUE(cursor->nextMatching());
  ASSERT_TRUE(cursor->replaceCurrent(KeyedRecord(20, ""), IntegerKey(20)));
  ASSERT_TRUE(file->commit());
  std::vector<uint8_t> committed = io.Content(kPath);
  std::vector<int32_t> rest;
  while (cursor->nextMatching()) {
    int32_t key;
    memcpy(&key, cursor->field(0).value, 4);
    rest.push_back(key);
  }
  EXPECT_EQ(rest, (std::vector<int32_t>{2, 3, 4}));
  ASSERT_TRUE(cursor->close());
  MemoryStorage copy({{kPath, committed}});
  file = openStorageFile(kPath, copy);
  EXPECT_EQ(Keys(*file, "t"), (std::vector<int32_t>{2, 3, 4, 20}));
}

TEST(StorageFileTest, CursorsResumeAfterAnotherCursorChangesTheirPage) {
  MemoryStorage io;
  std::unique_ptr<StorageFile> file = NewDatabase(io);
  ASSERT_TRUE(file->createTree("t"));
  for (int32_t key = 0; key < 400; key += 4) ASSERT_TRUE(file->insertRecord("t", SizedRecord(key, 200), {0}));
  std::unique_ptr<TreeCursor> cursor = file->openTree("t", {0});
  std::vector<int32_t> seen;
  while (cursor->nextMatching()) {
    int32_t key;
    memcpy(&key, cursor->field(0).value, 4);
    seen.push_back(key);
    // Inserts before and after the scan's place, splitting its pages and growing the root.
    if (key % 4 == 0 && key < 400) {
      ASSERT_TRUE(file->insertRecord("t", SizedRecord(key - 1, 200), {0}));
      ASSERT_TRUE(file->insertRecord("t", SizedRecord(key + 2, 200), {0}));
    }
  }
  // Every record from the scan's place on is met once, old or new.
  std::vector<int32_t> expected;
  for (int32_t key = 0; key < 400; key += 4) {
    expected.push_back(key);
    expected.push_back(key + 2);
  }
  EXPECT_EQ(seen, expected);
}

TEST(StorageFileTest, ScanEqualKeyDeliversMatchingRecords) {
  MemoryStorage io;
  std::unique_ptr<StorageFile> file = NewDatabase(io);
  ASSERT_TRUE(file->createTree("t"));
  for (int32_t key : {1, 2, 2, 3}) ASSERT_TRUE(file->insertRecord("t", KeyedRecord(key, std::to_string(key)), {0}));
  FieldFormat formats[] = {{0, kSmallInt, 0}, {1, kVarChar, 8}};
  alignas(8) uint8_t block[16] = {};
  std::vector<std::string> texts;
  ASSERT_TRUE(file->scanEqualKey("t", IntegerKey(2), {0}, formats, 2, block, [&](uint8_t* values) {
    int16_t key;
    memcpy(&key, values, 2);
    RuntimeString* text;
    memcpy(&text, values + 8, sizeof text);
    texts.push_back(std::to_string(key) + StringCText(text));
  }));
  EXPECT_EQ(texts, (std::vector<std::string>{"22", "22"}));
  RuntimeString* text;
  memcpy(&text, block + 8, sizeof text);
  StringRelease(text);
}

TEST(StorageFileTest, LargeValuesAreCutIntoChunks) {
  struct Case {
    int32_t length;
    int32_t dataChunks, indexChunks;
  };
  const Case cases[] = {{0, 1, 0},     {4000, 1, 0},         {4001, 2, 1},
                        {10000, 3, 1}, {500 * 4000, 500, 1}, {500 * 4000 + 1, 501, 2}};
  for (const Case& test : cases) {
    SCOPED_TRACE(testing::Message() << test.length << " bytes");
    MemoryStorage io;
    std::unique_ptr<StorageFile> file = NewDatabase(io);
    ByteString value(static_cast<size_t>(test.length));
    for (size_t index = 0; index < value.size(); index++) value[index] = static_cast<uint8_t>(index * 7 + index / 4000);
    uint32_t reference;
    ASSERT_TRUE(file->storeLargeValue(value.data(), test.length, &reference));
    int32_t data = 0, indexes = 0;
    uint32_t lastIndex = 0, firstPairOfLast = 0;
    std::unique_ptr<TreeCursor> blob = file->openTree(kBlobTree);
    while (blob->nextMatching()) {
      TreeCursor::FieldValue chunk = blob->field(1);
      ASSERT_EQ(chunk.typeCode, kBinaryChunk);
      const auto* bytes = static_cast<const uint8_t*>(chunk.value);
      int32_t length;
      uint32_t id = LoadBig32(blob->currentRecord(&length) + kRecordId);
      if (LoadBig32(bytes) == static_cast<uint32_t>(kChunkData)) {
        data++;
        EXPECT_LE(chunk.length - 4, kChunkPayload);
      } else {
        indexes++;
        lastIndex = id;
        firstPairOfLast = LoadBig32(bytes + 4);
        EXPECT_LE(chunk.length - 4, kIndexPairs * 8);
      }
    }
    EXPECT_EQ(data, test.dataChunks);
    EXPECT_EQ(indexes, test.indexChunks);
    if (test.indexChunks) {
      EXPECT_EQ(reference, lastIndex);
    }
    // A continued index begins with the index chunk stored before it.
    if (test.indexChunks == 2) {
      std::unique_ptr<TreeCursor> first = file->openTree(kBlobTree);
      ByteString key(4);
      StoreBig32(key.data(), firstPairOfLast);
      ASSERT_TRUE(first->seek(key) && first->nextMatching());
      EXPECT_EQ(LoadBig32(static_cast<const uint8_t*>(first->field(1).value)), static_cast<uint32_t>(kChunkIndex));
    }
    ByteString read;
    ASSERT_TRUE(file->readLargeValue(reference, &read));
    EXPECT_TRUE(read == value);
    ASSERT_TRUE(file->deleteLargeValue(reference));
    EXPECT_FALSE(file->readLargeValue(reference, &read));
    blob = file->openTree(kBlobTree);
    EXPECT_FALSE(blob->nextMatching());
  }
}

TEST(StorageFileTest, DamagedHeadersAreRefused) {
  struct Case {
    const char* name;
    int32_t offset;
    uint32_t value;
  };
  const Case cases[] = {
      {"magic", kHeaderMagic, 0xFEEDDBDC},
      {"version", kHeaderVersion, 2},
      {"transaction left open, no journal", kHeaderOpenFlag, 1},
  };
  MemoryStorage io;
  ASSERT_TRUE(closeStorageFile(NewDatabase(io)));
  std::vector<uint8_t> good = io.Content(kPath);
  for (const Case& test : cases) {
    SCOPED_TRACE(test.name);
    std::vector<uint8_t> bytes = good;
    StoreBig32(bytes.data() + test.offset, test.value);
    MemoryStorage damaged({{kPath, bytes}});
    EXPECT_EQ(openStorageFile(kPath, damaged), nullptr);
  }
  MemoryStorage shortFile({{kPath, std::vector<uint8_t>(good.begin(), good.begin() + 40)}});
  EXPECT_EQ(openStorageFile(kPath, shortFile), nullptr);
  MemoryStorage absent;
  EXPECT_EQ(openStorageFile(kPath, absent), nullptr);
}

TEST(StorageFileTest, DamagedPagesFailTheOperationsThatNeedThem) {
  MemoryStorage io;
  std::unique_ptr<StorageFile> file = NewDatabase(io);
  ASSERT_TRUE(file->createTree("t"));
  ASSERT_TRUE(file->insertRecord("t", KeyedRecord(1, "a"), {0}));
  ASSERT_TRUE(file->insertRecord("t", KeyedRecord(2, "b"), {0}));
  ASSERT_TRUE(closeStorageFile(std::move(file)));
  std::vector<uint8_t> good = io.Content(kPath);
  size_t leaf = kHeaderSize + 4 * kPageSize + kPageHeaderSize;
  struct Case {
    const char* name;
    size_t offset;
    uint8_t value;
  };
  const Case cases[] = {
      {"unknown type code", leaf + kRecordFields + 1, 4},
      {"string running past its record", leaf + kRecordFields + 6 + 2 + 3, 0x40},
      {"entry running past used", leaf + 1, 0xF0},
      {"unknown page kind", leaf - kPageHeaderSize + 3, 0x07},
      {"used beyond the record area", leaf - 2, 0x7F},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.name);
    std::vector<uint8_t> bytes = good;
    bytes[test.offset] = test.value;
    MemoryStorage damaged({{kPath, bytes}});
    file = openStorageFile(kPath, damaged);
    ASSERT_TRUE(file);
    std::unique_ptr<TreeCursor> cursor = file->openTree("t");
    EXPECT_TRUE(cursor == nullptr || !cursor->nextMatching());
    EXPECT_FALSE(file->insertRecord("t", KeyedRecord(3, "c"), {0}));
    // The other trees are untouched.
    EXPECT_TRUE(file->createTree("u"));
    EXPECT_TRUE(file->insertRecord("u", KeyedRecord(3, "c"), {0}));
    EXPECT_TRUE(closeStorageFile(std::move(file)));
  }
}

// One committed record, then a second one whose commit stops after its pages are written
// (journal: header, image, flush; flag; pages): the flag is still set and the journal complete.
struct InterruptedCommit {
  std::string committed;  // the dump of the last completed commit
  MemoryStorage::Files files;
};

InterruptedCommit StopCommitAfterItsPages() {
  InterruptedCommit result;
  MemoryStorage io;
  std::unique_ptr<StorageFile> file = NewDatabase(io);
  EXPECT_TRUE(file->createTree("t"));
  EXPECT_TRUE(file->insertRecord("t", KeyedRecord(1, "kept"), {0}));
  EXPECT_TRUE(file->commit());
  result.committed = Dump(*file);
  EXPECT_TRUE(file->insertRecord("t", KeyedRecord(2, "lost"), {0}));
  io.FailAfter(io.Operations() + 5, MemoryStorage::Fault::Stop);
  EXPECT_TRUE(file->commit());  // a dead process never learns otherwise
  result.files = io.Snapshot(MemoryStorage::Restart::ProcessDied);
  return result;
}

TEST(StorageFileTest, FlagLeftSetWithItsJournalRecoversTheLastCommit) {
  InterruptedCommit stopped = StopCommitAfterItsPages();
  MemoryStorage::Files& files = stopped.files;
  const std::string& committed = stopped.committed;
  ASSERT_TRUE(files.count(journal::PathFor(kPath)));
  EXPECT_EQ(LoadBig32(files[kPath].data() + kHeaderOpenFlag), 1u);
  MemoryStorage restarted(files);
  std::unique_ptr<StorageFile> file = openStorageFile(kPath, restarted);
  ASSERT_TRUE(file);
  EXPECT_EQ(Dump(*file), committed);
  EXPECT_EQ(LoadBig32(restarted.Content(kPath).data() + kHeaderOpenFlag), 0u);
  EXPECT_FALSE(restarted.Exists(journal::PathFor(kPath)));
}

// The flag and the pages reach the disk in any order: pages without the flag are found out by
// a complete journal of a newer transaction than the header's.
TEST(StorageFileTest, JournalNewerThanTheHeaderRecoversWithoutTheFlag) {
  InterruptedCommit stopped = StopCommitAfterItsPages();
  MemoryStorage::Files& files = stopped.files;
  const std::string& committed = stopped.committed;
  std::vector<uint8_t>& bytes = files[kPath];
  uint32_t previous = LoadBig32(bytes.data() + kHeaderTransaction) - 1;
  StoreBig32(bytes.data() + kHeaderTransaction, previous);
  StoreBig32(bytes.data() + kHeaderOpenFlag, 0);
  MemoryStorage restarted(files);
  std::unique_ptr<StorageFile> file = openStorageFile(kPath, restarted);
  ASSERT_TRUE(file);
  EXPECT_EQ(Dump(*file), committed);
  // A journal that is not complete does not pass for one: with the flag set the file is refused.
  std::vector<uint8_t> journalBytes = files[journal::PathFor(kPath)];
  journalBytes[journal::kHeaderSize + 100] ^= 1;
  StoreBig32(bytes.data() + kHeaderTransaction, previous + 1);
  StoreBig32(bytes.data() + kHeaderOpenFlag, 1);
  MemoryStorage damaged({{kPath, bytes}, {journal::PathFor(kPath), journalBytes}});
  EXPECT_EQ(openStorageFile(kPath, damaged), nullptr);
}

TEST(StorageFileTest, FailedCommitRollsBackAndTheFileKeepsTheLastCommit) {
  for (int64_t failing = 0; failing < 8; failing++) {
    SCOPED_TRACE(testing::Message() << "failing operation " << failing);
    MemoryStorage io;
    std::unique_ptr<StorageFile> file = NewDatabase(io);
    ASSERT_TRUE(file->createTree("t"));
    ASSERT_TRUE(file->insertRecord("t", KeyedRecord(1, "kept"), {0}));
    ASSERT_TRUE(file->commit());
    std::string committed = Dump(*file);
    for (int32_t key = 2; key < 100; key++) ASSERT_TRUE(file->insertRecord("t", SizedRecord(key, 300), {0}));
    io.FailAfter(io.Operations() + failing, MemoryStorage::Fault::Fail);
    EXPECT_FALSE(file->commit());
    EXPECT_FALSE(file->InTransaction());
    file.reset();
    MemoryStorage restarted(io.Snapshot(MemoryStorage::Restart::ProcessDied));
    file = openStorageFile(kPath, restarted);
    ASSERT_TRUE(file);
    EXPECT_EQ(Dump(*file), committed);
  }
}

TEST(StorageFileTest, CommitThatFailsOnceIsUndoneInPlaceAndTheFileGoesOn) {
  MemoryStorage io;
  std::unique_ptr<StorageFile> file = NewDatabase(io);
  ASSERT_TRUE(file->createTree("t"));
  ASSERT_TRUE(file->commit());
  std::string committed = Dump(*file);
  ASSERT_TRUE(file->insertRecord("t", KeyedRecord(1, "first try"), {0}));
  // The page write fails; every later call works, so the journal puts the file back at once.
  io.FailAfter(io.Operations() + 4, MemoryStorage::Fault::FailOnce);
  EXPECT_FALSE(file->commit());
  EXPECT_FALSE(file->Broken());
  EXPECT_EQ(Dump(*file), committed);
  ASSERT_TRUE(file->insertRecord("t", KeyedRecord(2, "second try"), {0}));
  ASSERT_TRUE(file->commit());
  file = Reopen(io, std::move(file));
  EXPECT_EQ(Keys(*file, "t"), std::vector<int32_t>{2});
}

TEST(StorageFileTest, SmallCacheDropsCleanPagesAndReadsThemAgain) {
  MemoryStorage io;
  std::unique_ptr<StorageFile> file = NewDatabase(io);
  file->SetCacheLimit(4);
  ASSERT_TRUE(file->createTree("t"));
  std::vector<int32_t> expected;
  for (int32_t key = 0; key < 3000; key++) {
    ASSERT_TRUE(file->insertRecord("t", KeyedRecord(key * 7 % 3001, "value"), {0}));
    expected.push_back(key * 7 % 3001);
    if (key % 500 == 0) {
      ASSERT_TRUE(file->commit());
    }
  }
  std::sort(expected.begin(), expected.end());
  file = Reopen(io, std::move(file));
  file->SetCacheLimit(4);
  EXPECT_EQ(Keys(*file, "t"), expected);
}

}  // namespace

namespace {

// Writes the fuzzer's seeds (database, journal, the journal's length) into the folder named by
// KW_FUZZ_SEEDS, when run from the top folder as
//   KW_FUZZ_SEEDS=$PWD/tests/database/fuzz_corpus/storage_file
//   build/host/tests/database/database_tests --gtest_also_run_disabled_tests --gtest_filter='*WriteFuzzSeeds'
TEST(StorageFileTest, DISABLED_WriteFuzzSeeds) {
  const char* folder = getenv("KW_FUZZ_SEEDS");
  ASSERT_NE(folder, nullptr);
  auto write = [folder](const char* name, const MemoryStorage::Files& files) {
    std::vector<uint8_t> bytes = files.at(kPath);
    auto journal = files.find(journal::PathFor(kPath));
    uint32_t journalLength = 0;
    if (journal != files.end()) {
      bytes.insert(bytes.end(), journal->second.begin(), journal->second.end());
      journalLength = static_cast<uint32_t>(journal->second.size());
    }
    bytes.resize(bytes.size() + 4);
    StoreBig32(bytes.data() + bytes.size() - 4, journalLength);
    std::ofstream(std::string(folder) + "/" + name, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  };

  MemoryStorage fresh;
  ASSERT_TRUE(closeStorageFile(NewDatabase(fresh)));
  write("new_database", fresh.Snapshot(MemoryStorage::Restart::ProcessDied));

  MemoryStorage io;
  std::unique_ptr<StorageFile> file = NewDatabase(io);
  ASSERT_TRUE(file->createTree("t") && file->createTree("plain"));
  for (int32_t key = 0; key < 400; key++) ASSERT_TRUE(file->insertRecord("t", KeyedRecord(key * 37 % 401, "row"), {0}));
  for (int32_t key = 0; key < 20; key++) ASSERT_TRUE(file->insertRecord("plain", KeyedRecord(key, "plain"), {}));
  ByteString large(9000, 'v');
  uint32_t reference;
  ASSERT_TRUE(file->storeLargeValue(large.data(), 9000, &reference));
  std::unique_ptr<TreeCursor> cursor = file->openTree("t", {0});
  for (int32_t count = 0; count < 5 && cursor->nextMatching(); count++) ASSERT_TRUE(cursor->deleteCurrent());
  ASSERT_TRUE(cursor->close());
  ASSERT_TRUE(file->commit());
  write("tables", io.Snapshot(MemoryStorage::Restart::ProcessDied));

  // Stopped after the pages of a commit were written: the flag is set and the journal is hot.
  for (int32_t key = 500; key < 700; key++) ASSERT_TRUE(file->insertRecord("t", KeyedRecord(key, "new"), {0}));
  io.FailAfter(io.Operations() + 5, MemoryStorage::Fault::Stop);
  file->commit();
  write("hot_journal", io.Snapshot(MemoryStorage::Restart::ProcessDied));
}

}  // namespace
