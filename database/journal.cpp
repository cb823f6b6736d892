#include "database/journal.h"

#include <algorithm>
#include <cstring>

#include "database/storage_format.h"

using namespace storage_format;

namespace journal {

namespace {

constexpr int32_t kRecordsPerWrite = 32;

// A 32-bit checksum over whole words and the tail: fast enough to run over every page image.
uint32_t Checksum(const uint8_t* bytes, size_t count, uint32_t seed = 0) {
  uint32_t first = 0x6A09E667 ^ seed, second = 0xBB67AE85;
  size_t index = 0;
  for (; index + 8 <= count; index += 8) {
    first += LoadBig32(bytes + index) + second;
    second += LoadBig32(bytes + index + 4) + first;
  }
  for (; index < count; index++) {
    first += bytes[index] + second;
    second += first;
  }
  return first ^ (second * 0x9E3779B1u);
}

// Reads the header and checks every page record; with a database, then writes the images back.
bool Replay(StorageIoFile& journal, StorageIoFile* database, uint32_t* transaction, bool expected) {
  uint8_t header[kHeaderSize];
  if (!journal.Read(0, header, kHeaderSize)) return false;
  if (LoadBig32(header) != kMagic || LoadBig32(header + 80) != Checksum(header, 80)) return false;
  if (LoadBig32(header + 16) != storage_format::kMagic) return false;
  if (expected && LoadBig32(header + 4) != *transaction) return false;
  *transaction = LoadBig32(header + 4);
  uint32_t originalLength = LoadBig32(header + 8);
  uint32_t count = LoadBig32(header + 12);
  int64_t journalLength = journal.Length();
  if (journalLength < kHeaderSize + static_cast<int64_t>(count) * kPageRecordSize) return false;

  // Every image is checked before the first is written back: a damaged journal changes nothing.
  std::vector<uint8_t> record(kPageRecordSize);
  for (int pass = 0; pass < (database ? 2 : 1); pass++) {
    for (uint32_t index = 0; index < count; index++) {
      if (!journal.Read(kHeaderSize + static_cast<int64_t>(index) * kPageRecordSize, record.data(), kPageRecordSize))
        return false;
      if (LoadBig32(record.data() + 4 + kPageSize) != Checksum(record.data(), 4 + kPageSize, *transaction))
        return false;
      int64_t offset = storage_format::kHeaderSize + static_cast<int64_t>(LoadBig32(record.data())) * kPageSize;
      if (pass == 1 && !database->Write(offset, record.data() + 4, kPageSize)) return false;
    }
  }
  if (!database) return true;
  if (!database->SetLength(originalLength) || !database->Flush()) return false;
  return database->Write(0, header + 16, storage_format::kHeaderSize) && database->Flush();
}

}  // namespace

std::string PathFor(const std::string& databasePath) { return databasePath + "-journal"; }

bool Write(StorageIoFile& journal, uint32_t transaction, int64_t originalLength, const uint8_t* originalHeader,
           const std::vector<PageImage>& pages) {
  uint8_t header[kHeaderSize];
  StoreBig32(header, kMagic);
  StoreBig32(header + 4, transaction);
  StoreBig32(header + 8, static_cast<uint32_t>(originalLength));
  StoreBig32(header + 12, static_cast<uint32_t>(pages.size()));
  memcpy(header + 16, originalHeader, storage_format::kHeaderSize);
  StoreBig32(header + 80, Checksum(header, 80));
  if (!journal.Write(0, header, kHeaderSize)) return false;

  std::vector<uint8_t> buffer;
  int64_t offset = kHeaderSize;
  for (size_t first = 0; first < pages.size(); first += kRecordsPerWrite) {
    size_t last = std::min(pages.size(), first + kRecordsPerWrite);
    buffer.resize((last - first) * kPageRecordSize);
    uint8_t* record = buffer.data();
    for (size_t index = first; index < last; index++, record += kPageRecordSize) {
      StoreBig32(record, pages[index].number);
      memcpy(record + 4, pages[index].bytes, kPageSize);
      StoreBig32(record + 4 + kPageSize, Checksum(record, 4 + kPageSize, transaction));
    }
    if (!journal.Write(offset, buffer.data(), static_cast<int32_t>(buffer.size()))) return false;
    offset += static_cast<int64_t>(buffer.size());
  }
  return journal.Flush();
}

bool Hot(StorageIoFile& journal, uint32_t flag, uint32_t headerTransaction, uint32_t* transaction) {
  if (!Replay(journal, nullptr, transaction, false)) return false;
  return flag ? *transaction == headerTransaction : *transaction > headerTransaction;
}

bool Restore(StorageIoFile& journal, StorageIoFile& database, uint32_t transaction) {
  return Replay(journal, &database, &transaction, true);
}

}  // namespace journal
