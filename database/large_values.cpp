// Large values in sys$blob: data chunks of up to 4000 bytes, and index chunks listing the
// (record id, length) pairs of the chunks a longer value is made of. An index of 500 pairs that
// is followed by more chunks is stored, and the next index begins with a pair for it.
//
// Readers walk index chunks with a stack of their own rather than by recursion, and refuse an
// index chunk met twice: a damaged file can neither loop nor exhaust the stack.
#include <algorithm>
#include <cstring>
#include <unordered_set>

#include "database/storage_file.h"

using namespace storage_format;

namespace {

constexpr int32_t kChunkHeader = 20;  // entry header, record id, field id and type, value length, kind

// The kind and payload of the chunk record the cursor is on.
bool ChunkOf(TreeCursor& blob, int32_t* kind, const uint8_t** payload, int32_t* length) {
  int32_t recordLength;
  const uint8_t* record = blob.currentRecord(&recordLength);
  FieldLocation value = FindField(record, recordLength, 1);
  if (value.typeCode != kBinaryChunk || value.size < 8) return false;
  *kind = static_cast<int32_t>(LoadBig32(value.value + 4));
  *payload = value.value + 8;
  *length = value.size - 8;
  return true;
}

void AppendPair(ByteString* index, uint32_t id, uint32_t length) {
  uint8_t pair[8];
  StoreBig32(pair, id);
  StoreBig32(pair + 4, length);
  index->insert(index->end(), pair, pair + 8);
}

}  // namespace

bool StorageFile::StoreChunk(TreeCursor& blob, int32_t kind, const uint8_t* payload, int32_t length, uint32_t* id) {
  ByteString record(static_cast<size_t>(kChunkHeader + length));
  uint8_t* bytes = record.data();
  StoreBig16(bytes, static_cast<uint32_t>(record.size()));
  StoreStatus(bytes, kLive, transaction_);
  *id = newRecordId();
  StoreBig32(bytes + kRecordId, *id);
  bytes[kRecordFields] = 1;
  bytes[kRecordFields + 1] = kBinaryChunk;
  StoreBig32(bytes + kRecordFields + 2, static_cast<uint32_t>(length + 4));
  StoreBig32(bytes + kRecordFields + 6, static_cast<uint32_t>(kind));
  if (length) memcpy(bytes + kChunkHeader, payload, static_cast<size_t>(length));
  // The key is the record id: a new chunk goes after every older one.
  ByteString key(bytes + kRecordId, bytes + kRecordId + 4);
  return blob.seek(key) && blob.insertHere(record);
}

bool StorageFile::FindChunk(TreeCursor& blob, uint32_t id) {
  ByteString key(4);
  StoreBig32(key.data(), id);
  if (!blob.seek(key)) return false;
  while (blob.next()) {
    int32_t length;
    const uint8_t* record = blob.currentRecord(&length);
    if (record[kEntryStatus] == kDeleted) continue;
    uint32_t found = LoadBig32(record + kRecordId);
    if (found == id) return true;
    if (found > id) return false;
  }
  return false;
}

bool StorageFile::storeLargeValue(const uint8_t* bytes, int32_t length, uint32_t* reference) {
  std::unique_ptr<TreeCursor> blob = openTree(kBlobTree);
  if (!blob || length < 0) return false;
  if (length <= kChunkPayload) return StoreChunk(*blob, kChunkData, bytes, length, reference);
  ByteString index;
  for (int64_t offset = 0; offset < length; offset += kChunkPayload) {
    uint32_t id;
    if (index.size() == static_cast<size_t>(kIndexPairs) * 8) {
      // The first pair of the next index stands for everything stored so far.
      if (!StoreChunk(*blob, kChunkIndex, index.data(), static_cast<int32_t>(index.size()), &id)) return false;
      index.clear();
      AppendPair(&index, id, static_cast<uint32_t>(offset));
    }
    int32_t chunk = static_cast<int32_t>(std::min<int64_t>(kChunkPayload, length - offset));
    if (!StoreChunk(*blob, kChunkData, bytes + offset, chunk, &id)) return false;
    AppendPair(&index, id, static_cast<uint32_t>(chunk));
  }
  return StoreChunk(*blob, kChunkIndex, index.data(), static_cast<int32_t>(index.size()), reference);
}

bool StorageFile::readLargeValue(uint32_t reference, ByteString* value) {
  value->clear();
  std::unique_ptr<TreeCursor> blob = openTree(kBlobTree);
  if (!blob) return false;
  struct Pending {
    ByteString pairs;
    size_t next;
  };
  std::vector<Pending> indexes;
  std::unordered_set<uint32_t> seen;
  auto visit = [&](uint32_t id) {
    int32_t kind, length;
    const uint8_t* payload;
    if (!FindChunk(*blob, id) || !ChunkOf(*blob, &kind, &payload, &length)) return false;
    if (kind == kChunkData) {
      if (value->size() + static_cast<size_t>(length) > static_cast<size_t>(INT32_MAX)) return false;
      value->insert(value->end(), payload, payload + length);
      return true;
    }
    if (kind != kChunkIndex || !seen.insert(id).second) return false;
    indexes.push_back({ByteString(payload, payload + length), 0});
    return true;
  };
  bool read = visit(reference);
  while (read && !indexes.empty()) {
    Pending& index = indexes.back();
    if (index.next + 8 > index.pairs.size()) {
      indexes.pop_back();
      continue;
    }
    uint32_t id = LoadBig32(index.pairs.data() + index.next);
    index.next += 8;
    read = visit(id);
  }
  if (!read) value->clear();
  return read;
}

bool StorageFile::deleteLargeValue(uint32_t reference) {
  std::unique_ptr<TreeCursor> blob = openTree(kBlobTree);
  if (!blob) return false;
  std::vector<uint32_t> pending{reference};
  bool deleted = true;
  while (!pending.empty()) {
    uint32_t id = pending.back();
    pending.pop_back();
    int32_t kind, length;
    const uint8_t* payload;
    if (!FindChunk(*blob, id) || !ChunkOf(*blob, &kind, &payload, &length)) {
      deleted = false;
      continue;
    }
    // A chunk once deleted is not found again, so a damaged index cannot loop.
    if (kind == kChunkIndex)
      for (int32_t pair = 0; pair + 8 <= length; pair += 8) pending.push_back(LoadBig32(payload + pair));
    deleted = blob->deleteCurrent() && deleted;
  }
  return deleted;
}
