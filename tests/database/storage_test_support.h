// Records, keys and whole-file dumps for the storage engine's tests.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "database/storage_file.h"
#include "tests/database/memory_storage.h"

namespace storage_test {

using namespace storage_format;

constexpr const char* kPath = "C:\\test.kwdb";

// A record of fields given as (id, type code, value bytes), with zero status, stamp and id.
struct Field {
  uint8_t id;
  uint8_t type;
  ByteString value;
};

inline ByteString Record(const std::vector<Field>& fields) {
  ByteString record(kRecordFields, 0);
  for (const Field& field : fields) {
    record.push_back(field.id);
    record.push_back(field.type);
    record.insert(record.end(), field.value.begin(), field.value.end());
  }
  StoreBig16(record.data(), static_cast<uint32_t>(record.size()));
  return record;
}

inline ByteString Big32(uint32_t value) {
  ByteString bytes(4);
  StoreBig32(bytes.data(), value);
  return bytes;
}

inline ByteString Text(const std::string& text) {
  ByteString bytes = Big32(static_cast<uint32_t>(text.size()));
  bytes.insert(bytes.end(), text.begin(), text.end());
  return bytes;
}

// Field 0 an integer key, field 1 a text.
inline ByteString KeyedRecord(int32_t key, const std::string& text) {
  return Record({{0, kInteger, Big32(static_cast<uint32_t>(key))}, {1, kVarChar, Text(text)}});
}

// The key of an integer under the key field list (0).
inline ByteString IntegerKey(int32_t key) {
  ByteString bytes{0x01};
  ByteString value = Big32(static_cast<uint32_t>(key) ^ 0x80000000u);
  bytes.insert(bytes.end(), value.begin(), value.end());
  return bytes;
}

inline std::string Hex(const uint8_t* bytes, size_t count) {
  static const char digits[] = "0123456789abcdef";
  std::string text(2 * count, '0');
  for (size_t index = 0; index < count; index++) {
    text[2 * index] = digits[bytes[index] >> 4];
    text[2 * index + 1] = digits[bytes[index] & 15];
  }
  return text;
}

// Every live record of every tree in scan order, as its id and fields: two files that dump the
// same hold the same data.
inline std::string Dump(StorageFile& file) {
  std::string dump;
  for (const std::string& name : file.TreeNames()) {
    dump += name + ":\n";
    std::unique_ptr<TreeCursor> cursor = file.openTree(name);
    if (!cursor) {
      dump += "  <unreadable>\n";
      continue;
    }
    while (cursor->nextMatching()) {
      int32_t length;
      const uint8_t* record = cursor->currentRecord(&length);
      dump += "  " + Hex(record + kRecordId, static_cast<size_t>(length - kRecordId)) + "\n";
    }
  }
  return dump;
}

// The integer keys (field 0) of the live records of a tree, in scan order.
inline std::vector<int32_t> Keys(StorageFile& file, const std::string& name, const KeyFieldList& keyFields = {0}) {
  std::vector<int32_t> keys;
  std::unique_ptr<TreeCursor> cursor = file.openTree(name, keyFields);
  while (cursor && cursor->nextMatching()) {
    TreeCursor::FieldValue value = cursor->field(0);
    int32_t key = 0;
    if (value.typeCode == kInteger) memcpy(&key, value.value, 4);
    keys.push_back(key);
  }
  return keys;
}

inline ByteString PageBytes(const std::vector<uint8_t>& file, uint32_t page) {
  size_t start = static_cast<size_t>(kHeaderSize) + static_cast<size_t>(page) * kPageSize;
  return ByteString(file.begin() + static_cast<std::ptrdiff_t>(start),
                    file.begin() + static_cast<std::ptrdiff_t>(start + kPageSize));
}

inline int32_t UsedOf(const ByteString& page) { return LoadBig16(page.data() + kPageUsed); }
inline uint32_t KindOf(const ByteString& page) { return LoadBig32(page.data() + kPageKind); }

}  // namespace storage_test
