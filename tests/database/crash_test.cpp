// A workload of inserts, updates, deletes, large values, rollbacks and commits, stopped after
// each of its file operations in turn. Whatever the stop (the process dies, the power fails,
// every later call fails), opening the file again gives exactly the state of the last commit
// that had reached the disk, and the file goes on working.
//
// KW_CRASH_ROUNDS (default 2) sets the workload's size; a larger one is for runs by hand.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <functional>

#include "tests/database/storage_test_support.h"

using namespace storage_test;

namespace {

// Calls committed() after each commit that returned.
void RunWorkload(StorageIo& io, int32_t rounds, const std::function<void()>& committed) {
  std::unique_ptr<StorageFile> file = createStorageFile(kPath, io);
  if (!file) return;
  CreateCatalogTrees(*file);
  file->createTree("t");
  file->createTree("plain");
  if (file->commit()) committed();
  std::mt19937 random(11);
  std::vector<uint32_t> values;
  for (int32_t round = 0; round < rounds; round++) {
    for (int32_t row = 0; row < 40; row++) {
      int32_t key = static_cast<int32_t>(random() % 5000);
      ByteString record = KeyedRecord(key, std::string(20 + random() % 200, static_cast<char>('a' + round % 26)));
      file->insertRecord("t", record, {0});
      file->insertRecord("plain", record, {});
    }
    ByteString large(static_cast<size_t>(4001 + round * 3000), static_cast<uint8_t>(round));
    uint32_t reference = 0;
    if (file->storeLargeValue(large.data(), static_cast<int32_t>(large.size()), &reference)) {
      values.push_back(reference);
      file->insertRecord("t", Record({{0, kInteger, Big32(90000 + round)}, {2, kLongVarChar, Big32(reference)}}), {0});
    }
    if (file->commit()) committed();

    if (std::unique_ptr<TreeCursor> cursor = file->openTree("t", {0})) {
      for (int32_t index = 0; cursor->nextMatching(); index++) {
        TreeCursor::FieldValue field = cursor->field(0);
        int32_t key = 0;
        if (field.typeCode == kInteger) memcpy(&key, field.value, 4);
        if (index % 5 == 0) cursor->replaceCurrent(KeyedRecord(key, "updated"), IntegerKey(key));
        if (index % 7 == 0 && key < 90000)
          cursor->replaceCurrent(KeyedRecord(key + 10000, "moved"), IntegerKey(key + 10000));
        if (index % 11 == 0) cursor->deleteCurrent();
      }
      cursor->close();
    }
    if (values.size() > 1) {
      file->deleteLargeValue(values.front());
      values.erase(values.begin());
    }
    if (file->commit()) committed();

    for (int32_t row = 0; row < 20; row++) file->insertRecord("t", KeyedRecord(row, "rolled back"), {0});
    file->rollback();
  }
  if (closeStorageFile(std::move(file))) committed();
}

std::string DumpOf(const MemoryStorage::Files& files, bool* opened) {
  MemoryStorage io(files);
  std::unique_ptr<StorageFile> file = openStorageFile(kPath, io);
  *opened = file != nullptr;
  if (!file) return "";
  std::string dump = Dump(*file);
  if (dump.empty()) return dump;  // nothing was committed yet
  // The recovered file takes new work.
  EXPECT_TRUE(file->createTree("after") && file->insertRecord("after", KeyedRecord(1, "x"), {0}));
  EXPECT_TRUE(closeStorageFile(std::move(file)));
  file = openStorageFile(kPath, io);
  EXPECT_TRUE(file && file->openTree("after"));
  return dump;
}

struct Commit {
  int64_t headerWritten;  // the operation that wrote the header with the flag clear
  int64_t headerFlushed;  // the flush that made it durable
  std::string dump;
};

TEST(CrashTest, CommitInterruptedAtEveryOperationRecovers) {
  const char* size = getenv("KW_CRASH_ROUNDS");
  int32_t rounds = size ? atoi(size) : 2;

  // The run without faults: what each commit left in the files, and where its commit point was.
  MemoryStorage reference;
  std::vector<Commit> commits;
  std::vector<MemoryStorage::Files> snapshots;
  std::vector<std::pair<int64_t, int64_t>> ranges;
  int64_t before = 0;
  RunWorkload(reference, rounds, [&] {
    snapshots.push_back(reference.Snapshot(MemoryStorage::Restart::ProcessDied));
    ranges.emplace_back(before, reference.Operations());
    before = reference.Operations();
  });
  // Operations between two commits belong to the later one; its last header write at offset 0
  // is its commit point.
  const std::vector<MemoryStorage::Operation>& log = reference.Log();
  for (size_t index = 0; index < snapshots.size(); index++) {
    Commit commit{-1, -1, ""};
    for (int64_t operation = ranges[index].first; operation < ranges[index].second; operation++) {
      const MemoryStorage::Operation& done = log[static_cast<size_t>(operation)];
      if (done.path != kPath) continue;
      if (done.kind == MemoryStorage::Operation::Write && done.offset == 0) commit.headerWritten = operation + 1;
      if (done.kind == MemoryStorage::Operation::Flush && commit.headerWritten > commit.headerFlushed)
        commit.headerFlushed = operation + 1;
    }
    if (commit.headerWritten < 0) continue;  // a commit with nothing to write
    bool opened;
    commit.dump = DumpOf(snapshots[index], &opened);
    ASSERT_TRUE(opened);
    commits.push_back(commit);
  }
  ASSERT_GT(commits.size(), 4u);
  int64_t total = reference.Operations();

  // The state a restart must find when the operations up to stop reached the disk as the model
  // says: the newest commit whose point lies within them, or nothing yet.
  auto expected = [&](int64_t stop, bool flushed) {
    int found = -1;
    for (size_t index = 0; index < commits.size(); index++)
      if ((flushed ? commits[index].headerFlushed : commits[index].headerWritten) <= stop)
        found = static_cast<int>(index);
    return found;
  };
  auto check = [&](const MemoryStorage::Files& files, int low, int high, const char* model, int64_t stop) {
    bool opened;
    std::string dump = DumpOf(files, &opened);
    bool matches = false;
    for (int index = low; index <= high; index++)
      matches = matches || (index < 0 ? dump.empty() : opened && dump == commits[static_cast<size_t>(index)].dump);
    EXPECT_TRUE(matches) << model << " after operation " << stop << " of " << total << ": expected commit " << low
                         << (high > low ? " or the next" : "") << (opened ? "" : ", file refused");
  };

  int64_t tried = 0;
  for (int64_t stop = 0; stop < total; stop++) {
    MemoryStorage stopped;
    stopped.FailAfter(stop, MemoryStorage::Fault::Stop);
    RunWorkload(stopped, rounds, [] {});
    int written = expected(stop, false), flushed = expected(stop, true);
    check(stopped.Snapshot(MemoryStorage::Restart::ProcessDied), written, written, "process died", stop);
    check(stopped.Snapshot(MemoryStorage::Restart::PowerLost), flushed, flushed, "power lost", stop);
    check(stopped.Snapshot(MemoryStorage::Restart::PowerLostPartly, static_cast<uint32_t>(stop)), flushed, written,
          "power lost, some writes through", stop);

    MemoryStorage failing;
    failing.FailAfter(stop, MemoryStorage::Fault::Fail);
    RunWorkload(failing, rounds, [] {});
    check(failing.Snapshot(MemoryStorage::Restart::ProcessDied), written, written, "every call failing", stop);
    tried++;
    if (HasFailure()) break;
  }
  printf("crash test: %lld stop points over %zu commits, 4 restarts each\n", static_cast<long long>(tried),
         commits.size());
  RecordProperty("stop_points", static_cast<int>(tried));
}

}  // namespace
