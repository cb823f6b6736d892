// The byte layout of a database file: a 64-byte header, then pages of 8192 bytes, every
// multi-byte integer big-endian whatever the host. Offsets here are fixed by files already
// written: do not reorder.
#pragma once

#include <array>
#include <cstdint>
#include <cstring>

namespace storage_format {

// File header.
constexpr uint32_t kMagic = 0xFEEDDBDB;
constexpr uint32_t kVersion = 1;
constexpr int32_t kHeaderSize = 64;
constexpr int32_t kHeaderMagic = 0;
constexpr int32_t kHeaderVersion = 4;
constexpr int32_t kHeaderTransaction = 8;  // the most recently begun transaction
constexpr int32_t kHeaderOpenFlag = 12;    // 1 while a transaction's pages are being written
constexpr int32_t kHeaderNextRecordId = 16;
constexpr int32_t kHeaderDirectoryRoot = 20;
constexpr int32_t kHeaderReserved = 24;  // 40 zero bytes
static_assert(kHeaderReserved + 40 == kHeaderSize);

// Page n lies at kHeaderSize + n * kPageSize.
constexpr int32_t kPageSize = 8192;
constexpr int32_t kPageKind = 0;
constexpr int32_t kPageOwner = 4;   // the page number of the first page of its tree or root
constexpr int32_t kPageStamp = 8;   // the last transaction that changed the page
constexpr int32_t kPageChain = 12;  // the page changed before this one in that transaction
constexpr int32_t kPageUsed = 16;   // bytes of entries in the record area
constexpr int32_t kPageHeaderSize = 18;
constexpr int32_t kRecordAreaSize = kPageSize - kPageHeaderSize;
static_assert(kRecordAreaSize == 8174);
constexpr uint32_t kChainEnd = 0xFFFFFFFF;

constexpr uint32_t kInteriorPage = 0x0001BEEF;
constexpr uint32_t kDirectoryLeaf = 0xBEEF0002;
constexpr uint32_t kDataLeaf = 0xBEEF0003;

// Entry header, common to the entries of every kind of page. The status letter overwrites the
// first byte of a 4-byte big-endian transaction number, leaving its low 24 bits as the stamp.
constexpr int32_t kEntryLength = 0;
constexpr int32_t kEntryStatus = 2;
constexpr int32_t kEntryHeaderSize = 6;
constexpr uint8_t kLive = 'A';
constexpr uint8_t kDeleted = 'D';

// Interior entry: subtree count, child page, separator key.
constexpr int32_t kInteriorCount = 6;
constexpr int32_t kInteriorChild = 8;
constexpr int32_t kInteriorKey = 12;

// Directory entry: record id, root page, name length, name.
constexpr int32_t kDirectoryRecordId = 6;
constexpr int32_t kDirectoryRoot = 10;
constexpr int32_t kDirectoryNameLength = 14;
constexpr int32_t kDirectoryName = 18;

// Data record: record id, then fields (id byte, type byte, value).
constexpr int32_t kRecordId = 6;
constexpr int32_t kRecordFields = 10;

// Type codes of stored fields.
enum TypeCode : uint8_t {
  kSmallInt = 2,
  kInteger = 3,
  kVarChar = 5,
  kFloat = 6,
  kDouble = 7,
  kDate = 8,
  kTime = 9,
  kBoolean = 12,
  kBinaryChunk = 14,
  kLongVarChar = 15,
  kLongVarBinary = 16,
};

// Large values: data chunks of up to 4000 bytes, index chunks of up to 500 (id, length) pairs.
constexpr int32_t kChunkData = 0;
constexpr int32_t kChunkIndex = 1;
constexpr int32_t kChunkPayload = 4000;
constexpr int32_t kIndexPairs = 500;

// Names of the catalog trees, made in this order in a new database.
constexpr const char* kTablesTree = "sys$tables";
constexpr const char* kFieldsTree = "sys$fields";
constexpr const char* kBlobTree = "sys$blob";

// The sort weight of each byte in keys of text: Mac Roman letter order, each capital just
// before its small letter.
extern const std::array<uint8_t, 256> SortWeights;

inline uint16_t LoadBig16(const uint8_t* p) { return static_cast<uint16_t>(p[0] << 8 | p[1]); }
inline uint32_t LoadBig32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) << 24 | static_cast<uint32_t>(p[1]) << 16 | static_cast<uint32_t>(p[2]) << 8 |
         p[3];
}
inline void StoreBig16(uint8_t* p, uint32_t value) {
  p[0] = static_cast<uint8_t>(value >> 8);
  p[1] = static_cast<uint8_t>(value);
}
inline void StoreBig32(uint8_t* p, uint32_t value) {
  p[0] = static_cast<uint8_t>(value >> 24);
  p[1] = static_cast<uint8_t>(value >> 16);
  p[2] = static_cast<uint8_t>(value >> 8);
  p[3] = static_cast<uint8_t>(value);
}

// The status letter and the low 24 bits of the transaction number.
inline void StoreStatus(uint8_t* entry, uint8_t status, uint32_t transaction) {
  StoreBig32(entry + kEntryStatus, transaction);
  entry[kEntryStatus] = status;
}
inline uint32_t EntryStamp(const uint8_t* entry) { return LoadBig32(entry + kEntryStatus) & 0xFFFFFF; }

}  // namespace storage_format
