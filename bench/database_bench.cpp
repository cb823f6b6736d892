// The storage engine against SQLite on the same machine in the same run, with the same
// durability: SQLite with a rollback journal and synchronous=FULL, the engine with its journal
// and flushes. Rows of (integer key, 100-byte text): inserted in one transaction and in
// transactions of 1,000 rows, looked up by key, scanned whole and by key range. Each benchmark
// times the engine and reports SQLite's time beside it and the ratio (below 1: the engine is
// faster). Lookups and range scans reuse one cursor, as SQLite reuses its prepared statement. Both keep up to 64 MB of
// pages in memory; SQLite reads inside one read transaction, so that it does not lock and check the file for every
// statement. KW_BENCH_ROWS sets the row count (default 1,000,000).
#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <stdlib.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "core/runtime_string.h"
#include "database/storage_file.h"
#include "platform/kernel/paths.h"

namespace {

using namespace storage_format;

constexpr int32_t kTextLength = 100;
constexpr int32_t kCachePages = 64 * 1024 * 1024 / kPageSize;
constexpr int32_t kLookups = 100000;
constexpr int32_t kRangeRows = 1000;
constexpr int32_t kRanges = 200;

int32_t Rows() {
  const char* rows = getenv("KW_BENCH_ROWS");
  return rows ? atoi(rows) : 1000000;
}

struct Scratch {
  Scratch() {
    char pattern[] = "/tmp/kwdbbenchXXXXXX";
    host = mkdtemp(pattern);
    windows = kwplatform::WindowsPathFromHostPath(host);
  }
  ~Scratch() { std::filesystem::remove_all(host); }
  std::string host;
  std::string windows;
};

Scratch& Folder() {
  static Scratch scratch;
  return scratch;
}

double Seconds(const std::function<void()>& work) {
  auto start = std::chrono::steady_clock::now();
  work();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

std::string TextFor(int32_t key) {
  std::string text(kTextLength, 'a');
  for (int32_t index = 0; index < 8; index++)
    text[static_cast<size_t>(index)] = static_cast<char>('a' + (key >> (3 * index) & 7));
  return text;
}

// The engine: the table "t" keyed by field 0.

const KeyFieldList kKey{0};

std::unique_ptr<StorageFile> NewEngineFile(const std::string& name) {
  std::string path = Folder().windows + "\\" + name;
  std::unique_ptr<StorageFile> file = createStorageFile(path);
  file->SetCacheLimit(kCachePages);
  CreateCatalogTrees(*file);
  file->createTree("t");
  file->commit();
  return file;
}

// Rows as an application's insert makes them: a value block encoded into a record.
void EngineInsert(StorageFile& file, int32_t rows, int32_t perTransaction) {
  FieldFormat formats[] = {{0, kInteger, 0}, {1, kVarChar, 8}};
  alignas(8) uint8_t block[16] = {};
  ByteString record;
  for (int32_t key = 0; key < rows; key++) {
    std::string text = TextFor(key);
    RuntimeString* string = StringFromBytes(text.data(), kTextLength);
    memcpy(block, &key, 4);
    memcpy(block + 8, &string, sizeof string);
    encodeRecord(block, formats, 2, &record);
    file.insertRecord("t", record, kKey);
    StringRelease(string);
    if ((key + 1) % perTransaction == 0) file.commit();
  }
  file.commit();
}

ByteString EngineKey(int32_t key) {
  ByteString bytes{0x01, 0, 0, 0, 0};
  StoreBig32(bytes.data() + 1, static_cast<uint32_t>(key) ^ 0x80000000u);
  return bytes;
}

// SQLite: the same rows in a rowid table.

sqlite3* NewSqliteFile(const std::string& name) {
  sqlite3* db;
  sqlite3_open((Folder().host + "/" + name).c_str(), &db);
  sqlite3_exec(db,
               "PRAGMA journal_mode=DELETE; PRAGMA synchronous=FULL; PRAGMA cache_size=-65536;"
               "CREATE TABLE t(k INTEGER PRIMARY KEY, v TEXT);",
               nullptr, nullptr, nullptr);
  return db;
}

void SqliteInsert(sqlite3* db, int32_t rows, int32_t perTransaction) {
  sqlite3_stmt* insert;
  sqlite3_prepare_v2(db, "INSERT INTO t VALUES(?, ?)", -1, &insert, nullptr);
  sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
  for (int32_t key = 0; key < rows; key++) {
    std::string text = TextFor(key);
    sqlite3_bind_int(insert, 1, key);
    sqlite3_bind_text(insert, 2, text.data(), kTextLength, SQLITE_TRANSIENT);
    sqlite3_step(insert);
    sqlite3_reset(insert);
    if ((key + 1) % perTransaction == 0) sqlite3_exec(db, "COMMIT; BEGIN", nullptr, nullptr, nullptr);
  }
  sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
  sqlite3_finalize(insert);
}

// Filled once and shared by the reading benchmarks.
StorageFile& FilledEngine() {
  static std::unique_ptr<StorageFile> file = [] {
    std::unique_ptr<StorageFile> made = NewEngineFile("read.kwdb");
    EngineInsert(*made, Rows(), Rows());
    return made;
  }();
  return *file;
}

sqlite3* FilledSqlite() {
  static sqlite3* db = [] {
    sqlite3* made = NewSqliteFile("read.sqlite");
    SqliteInsert(made, Rows(), Rows());
    return made;
  }();
  return db;
}

void Report(benchmark::State& state, double engine, double sqlite) {
  state.SetIterationTime(engine);
  state.counters["sqlite_ms"] = sqlite * 1000;
  state.counters["ratio_to_sqlite"] = engine / sqlite;
}

void Insert(benchmark::State& state) {
  int32_t perTransaction = state.range(0) ? static_cast<int32_t>(state.range(0)) : Rows();
  for (auto _ : state) {
    std::string name = "insert" + std::to_string(perTransaction);
    std::unique_ptr<StorageFile> file = NewEngineFile(name + ".kwdb");
    double engine = Seconds([&] { EngineInsert(*file, Rows(), perTransaction); });
    closeStorageFile(std::move(file));
    sqlite3* db = NewSqliteFile(name + ".sqlite");
    double sqlite = Seconds([&] { SqliteInsert(db, Rows(), perTransaction); });
    sqlite3_close(db);
    Report(state, engine, sqlite);
  }
  state.SetItemsProcessed(static_cast<int64_t>(Rows()) * state.iterations());
}
BENCHMARK(Insert)->Arg(0)->Arg(1000)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

void PointLookup(benchmark::State& state) {
  StorageFile& file = FilledEngine();
  sqlite3* db = FilledSqlite();
  std::vector<int32_t> keys(kLookups);
  std::mt19937 random(3);
  for (int32_t& key : keys) key = static_cast<int32_t>(random() % static_cast<uint32_t>(Rows()));
  for (auto _ : state) {
    int64_t found = 0;
    double engine = Seconds([&] {
      std::unique_ptr<TreeCursor> cursor = file.openTree("t", kKey);
      ByteString sought;
      for (int32_t key : keys) {
        sought = EngineKey(key);
        if (cursor->seek(sought) && cursor->nextMatching()) found += cursor->field(1).length;
      }
    });
    sqlite3_stmt* select;
    sqlite3_prepare_v2(db, "SELECT v FROM t WHERE k = ?", -1, &select, nullptr);
    double sqlite = Seconds([&] {
      sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
      for (int32_t key : keys) {
        sqlite3_bind_int(select, 1, key);
        if (sqlite3_step(select) == SQLITE_ROW) found -= sqlite3_column_bytes(select, 0);
        sqlite3_reset(select);
      }
      sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    });
    sqlite3_finalize(select);
    if (found != 0) state.SkipWithError("the engines found different rows");
    Report(state, engine, sqlite);
  }
  state.SetItemsProcessed(static_cast<int64_t>(kLookups) * state.iterations());
}
BENCHMARK(PointLookup)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);

void FullScan(benchmark::State& state) {
  StorageFile& file = FilledEngine();
  sqlite3* db = FilledSqlite();
  for (auto _ : state) {
    int64_t sum = 0;
    double engine = Seconds([&] {
      std::unique_ptr<TreeCursor> cursor = file.openTree("t", kKey);
      while (cursor->nextMatching()) {
        int32_t key;
        memcpy(&key, cursor->field(0).value, 4);
        sum += key + cursor->field(1).length;
      }
    });
    sqlite3_stmt* select;
    sqlite3_prepare_v2(db, "SELECT k, v FROM t", -1, &select, nullptr);
    double sqlite = Seconds([&] {
      while (sqlite3_step(select) == SQLITE_ROW) sum -= sqlite3_column_int(select, 0) + sqlite3_column_bytes(select, 1);
    });
    sqlite3_finalize(select);
    if (sum != 0) state.SkipWithError("the engines scanned different rows");
    Report(state, engine, sqlite);
  }
  state.SetItemsProcessed(static_cast<int64_t>(Rows()) * state.iterations());
}
BENCHMARK(FullScan)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);

void RangeScan(benchmark::State& state) {
  StorageFile& file = FilledEngine();
  sqlite3* db = FilledSqlite();
  std::vector<int32_t> starts(kRanges);
  std::mt19937 random(5);
  for (int32_t& start : starts) start = static_cast<int32_t>(random() % static_cast<uint32_t>(Rows() - kRangeRows));
  for (auto _ : state) {
    int64_t sum = 0;
    double engine = Seconds([&] {
      std::unique_ptr<TreeCursor> cursor = file.openTree("t", kKey);
      for (int32_t start : starts) {
        ByteString last = EngineKey(start + kRangeRows - 1);
        cursor->seek(EngineKey(start));
        while (cursor->nextMatching() && cursor->CompareCurrentKey(last) <= 0) sum += cursor->field(1).length;
      }
    });
    sqlite3_stmt* select;
    sqlite3_prepare_v2(db, "SELECT v FROM t WHERE k BETWEEN ? AND ?", -1, &select, nullptr);
    double sqlite = Seconds([&] {
      sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
      for (int32_t start : starts) {
        sqlite3_bind_int(select, 1, start);
        sqlite3_bind_int(select, 2, start + kRangeRows - 1);
        while (sqlite3_step(select) == SQLITE_ROW) sum -= sqlite3_column_bytes(select, 0);
        sqlite3_reset(select);
      }
      sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    });
    sqlite3_finalize(select);
    if (sum != 0) state.SkipWithError("the engines scanned different rows");
    Report(state, engine, sqlite);
  }
  state.SetItemsProcessed(static_cast<int64_t>(kRanges) * kRangeRows * state.iterations());
}
BENCHMARK(RangeScan)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
