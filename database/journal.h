// The side file ("<database>-journal") that makes a commit crash-safe. Before the first page of
// a transaction is written back, it receives the file's length, its header and the images of
// the existing pages about to be overwritten, and is flushed. Only then does the database get
// its open-transaction flag with the transaction's number, and its pages, flushed together;
// finally its header with the flag cleared, flushed: the commit point.
//
// A journal is hot, and puts the file back to its last commit when the file is opened, when it
// is complete and either the file's flag is set or its transaction is newer than the one the
// file's header names (the flag and the pages may reach the disk in any order). Any other
// journal is left over from a commit that completed.
//
// Layout, big-endian like the database: magic "KWJ1", transaction number, original file
// length, page count, the 64-byte original header, a checksum of those 80 bytes; then per page
// its number, its 8192 bytes and a checksum of both seeded with the transaction number, so that
// pages left from an earlier journal never pass for this one's.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "database/storage_io.h"

namespace journal {

constexpr uint32_t kMagic = 0x4B574A31;
constexpr int32_t kHeaderSize = 84;
constexpr int32_t kPageRecordSize = 4 + 8192 + 4;
static_assert(kHeaderSize == 16 + 64 + 4);

std::string PathFor(const std::string& databasePath);

struct PageImage {
  uint32_t number;
  const uint8_t* bytes;
};

// Writes the journal of one transaction from the start of the file and flushes it.
bool Write(StorageIoFile& journal, uint32_t transaction, int64_t originalLength, const uint8_t* originalHeader,
           const std::vector<PageImage>& pages);

// Whether the journal is complete and must put back a database whose header says flag and
// transaction; if so, of which transaction it is.
bool Hot(StorageIoFile& journal, uint32_t flag, uint32_t headerTransaction, uint32_t* transaction);

// Puts the database back as the journal of the given transaction recorded it and flushes it;
// the header (with its flag clear) is written last. False, with nothing written, when the
// journal is not a complete one of that transaction.
bool Restore(StorageIoFile& journal, StorageIoFile& database, uint32_t transaction);

}  // namespace journal
