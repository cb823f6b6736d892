#include "database/record_encoding.h"

#include <cstring>

#include "core/runtime_string.h"

using namespace storage_format;

const std::array<uint8_t, 256> storage_format::SortWeights = {
    0,   1,   2,   3,   4,   5,   6,   7,   8,   9,   10,  11,  12,  13,  14,  15,   // 00
    16,  17,  18,  19,  20,  21,  22,  23,  24,  25,  26,  27,  28,  29,  30,  31,   // 10
    32,  34,  35,  40,  41,  42,  43,  44,  47,  48,  49,  50,  51,  52,  53,  54,   // 20
    55,  56,  57,  58,  59,  60,  61,  62,  63,  64,  65,  66,  67,  68,  69,  70,   // 30
    71,  72,  88,  90,  94,  96,  106, 110, 112, 114, 125, 127, 129, 131, 133, 137,  // 40
    153, 155, 157, 159, 162, 164, 174, 176, 178, 180, 184, 186, 187, 188, 189, 190,  // 50
    191, 79,  89,  92,  95,  101, 107, 111, 113, 119, 126, 128, 130, 132, 135, 144,  // 60
    154, 156, 158, 160, 163, 169, 175, 177, 179, 181, 185, 192, 193, 194, 195, 196,  // 70
    76,  78,  91,  97,  134, 141, 168, 80,  81,  82,  83,  84,  85,  93,  102, 103,  // 80
    104, 105, 121, 122, 123, 124, 136, 145, 146, 147, 148, 149, 170, 171, 172, 173,  // 90
    197, 198, 199, 200, 201, 202, 203, 161, 204, 205, 206, 207, 208, 209, 86,  143,  // A0
    210, 211, 212, 213, 214, 215, 216, 217, 218, 219, 220, 221, 222, 223, 87,  150,  // B0
    224, 225, 226, 227, 228, 229, 230, 36,  37,  231, 33,  74,  77,  142, 151, 152,  // C0
    232, 233, 38,  39,  45,  46,  234, 235, 182, 183, 236, 237, 238, 239, 108, 109,  // D0
    240, 241, 242, 243, 244, 75,  99,  73,  100, 98,  115, 117, 118, 116, 138, 140,  // E0
    245, 139, 165, 167, 166, 120, 246, 247, 248, 249, 250, 251, 252, 253, 254, 255,  // F0
};

namespace {

// Fixed value sizes by type code; 0 for the strings (4-byte length, then the bytes) and -1 for
// codes that are not stored.
constexpr int32_t FixedSize(uint8_t typeCode) {
  switch (typeCode) {
    case kSmallInt:
      return 2;
    case kInteger:
    case kFloat:
    case kLongVarChar:
    case kLongVarBinary:
      return 4;
    case kDouble:
      return 8;
    case kDate:
    case kTime:
      return 6;
    case kBoolean:
      return 1;
    case kVarChar:
    case kBinaryChunk:
      return 0;
    default:
      return -1;
  }
}

// Hands the bytes of a field's key part to emit, one at a time, while emit returns true: 0x00
// for a missing field, else 0x01 and the ordered form of the value. Making a key and comparing
// a record's key without making it share this.
template <typename Emit>
bool EmitKeyPart(const FieldLocation& field, Emit&& emit) {
  if (field.typeCode == 0) return emit(0x00);
  if (!emit(0x01)) return false;
  const uint8_t* value = field.value;
  switch (field.typeCode) {
    case kSmallInt:
    case kInteger:
    case kLongVarChar:
    case kLongVarBinary:
      // Two's complement with the sign bit inverted.
      if (!emit(static_cast<uint8_t>(value[0] ^ 0x80))) return false;
      for (int32_t index = 1; index < field.size; index++)
        if (!emit(value[index])) return false;
      return true;
    case kVarChar:
    case kBinaryChunk:
      for (int32_t index = 4; index < field.size; index++)
        if (!emit(SortWeights[value[index]])) return false;
      return emit(0x00);
    case kFloat:
    case kDouble: {
      // Negative numbers inverted, positive ones with the sign bit set.
      bool negative = value[0] & 0x80;
      for (int32_t index = 0; index < field.size; index++) {
        uint8_t byte = value[index];
        if (!emit(negative ? static_cast<uint8_t>(~byte) : index == 0 ? static_cast<uint8_t>(byte | 0x80) : byte))
          return false;
      }
      return true;
    }
    default:  // date, time and boolean order as stored
      for (int32_t index = 0; index < field.size; index++)
        if (!emit(value[index])) return false;
      return true;
  }
}

template <typename T>
T LoadSlot(const uint8_t* valueBlock, int32_t offset) {
  T value;
  memcpy(&value, valueBlock + offset, sizeof value);
  return value;
}

template <typename T>
void StoreSlot(uint8_t* valueBlock, int32_t offset, T value) {
  memcpy(valueBlock + offset, &value, sizeof value);
}

}  // namespace

int32_t FieldValueSize(uint8_t typeCode, const uint8_t* value, int32_t available) {
  int32_t size = FixedSize(typeCode);
  if (size < 0) return -1;
  if (size == 0) {
    if (available < 4) return -1;
    uint32_t length = LoadBig32(value);
    if (length > static_cast<uint32_t>(available - 4)) return -1;
    size = 4 + static_cast<int32_t>(length);
  }
  return size <= available ? size : -1;
}

bool RecordFieldsValid(const uint8_t* record, int32_t length) {
  int32_t offset = kRecordFields;
  if (length < offset) return false;
  while (offset < length) {
    if (length - offset < 2) return false;
    int32_t size = FieldValueSize(record[offset + 1], record + offset + 2, length - offset - 2);
    if (size < 0) return false;
    offset += 2 + size;
  }
  return true;
}

FieldLocation FindField(const uint8_t* record, int32_t length, uint8_t fieldId) {
  int32_t offset = kRecordFields;
  while (offset + 2 <= length) {
    uint8_t typeCode = record[offset + 1];
    int32_t size = FieldValueSize(typeCode, record + offset + 2, length - offset - 2);
    if (size < 0) break;  // a damaged record: nothing past this point can be read
    if (record[offset] == fieldId) return FieldLocation{typeCode, record + offset + 2, size};
    offset += 2 + size;
  }
  return FieldLocation{};
}

void AppendKeyPart(ByteString* key, const FieldLocation& field) {
  EmitKeyPart(field, [key](uint8_t byte) {
    key->push_back(byte);
    return true;
  });
}

void RecordKey(const uint8_t* record, int32_t length, const KeyFieldList& keyFields, ByteString* key) {
  key->clear();
  if (keyFields.empty()) {
    key->insert(key->end(), record + kRecordId, record + kRecordId + 4);
    return;
  }
  for (uint8_t fieldId : keyFields) AppendKeyPart(key, FindField(record, length, fieldId));
}

void DirectoryKey(const uint8_t* name, int32_t length, ByteString* key) {
  key->clear();
  key->push_back(0x01);
  key->push_back(0x01);
  for (int32_t index = 0; index < length; index++) key->push_back(SortWeights[name[index]]);
  key->push_back(0x00);
}

void EntryKey(uint32_t pageKind, const uint8_t* entry, const KeyFieldList& keyFields, ByteString* key) {
  int32_t length = LoadBig16(entry + kEntryLength);
  if (pageKind == kInteriorPage) {
    key->assign(entry + kInteriorKey, entry + length);
  } else if (pageKind == kDirectoryLeaf) {
    DirectoryKey(entry + kDirectoryName, length - kDirectoryName, key);
  } else {
    RecordKey(entry, length, keyFields, key);
  }
}

int CompareRecordKey(const uint8_t* record, int32_t length, const KeyFieldList& keyFields, const uint8_t* key,
                     size_t keyLength) {
  if (keyFields.empty()) return CompareKeys(record + kRecordId, 4, key, keyLength);
  size_t at = 0;
  int order = 0;
  auto compare = [&](uint8_t byte) {
    // A key that ends first is a prefix of the record's: the record's sorts after it.
    order = at == keyLength ? 1 : byte < key[at] ? -1 : byte > key[at] ? 1 : 0;
    at++;
    return order == 0;
  };
  for (uint8_t fieldId : keyFields)
    if (!EmitKeyPart(FindField(record, length, fieldId), compare)) return order;
  return at < keyLength ? -1 : 0;
}

int CompareEntryKey(uint32_t pageKind, const uint8_t* entry, const KeyFieldList& keyFields, const ByteString& key,
                    ByteString* scratch) {
  if (pageKind == kInteriorPage)
    return CompareKeys(entry + kInteriorKey, LoadBig16(entry + kEntryLength) - kInteriorKey, key.data(), key.size());
  if (pageKind == kDataLeaf)
    return CompareRecordKey(entry, LoadBig16(entry + kEntryLength), keyFields, key.data(), key.size());
  EntryKey(pageKind, entry, keyFields, scratch);
  return CompareKeys(*scratch, key);
}

int CompareKeys(const uint8_t* a, size_t lengthA, const uint8_t* b, size_t lengthB) {
  size_t common = lengthA < lengthB ? lengthA : lengthB;
  int order = common ? memcmp(a, b, common) : 0;
  if (order) return order < 0 ? -1 : 1;
  return lengthA < lengthB ? -1 : lengthA > lengthB ? 1 : 0;
}

bool encodeRecord(const uint8_t* valueBlock, const FieldFormat* formats, int32_t count, ByteString* record) {
  record->assign(kRecordFields, 0);
  for (int32_t index = 0; index < count; index++) {
    const FieldFormat& format = formats[index];
    int32_t size = FixedSize(format.typeCode);
    if (size < 0) continue;
    const int32_t slot = format.slotOffset;
    uint8_t value[8];
    const uint8_t* text = nullptr;
    int32_t textLength = 0;
    switch (format.typeCode) {
      case kSmallInt:
        StoreBig16(value, static_cast<uint16_t>(LoadSlot<int16_t>(valueBlock, slot)));
        break;
      case kInteger:
      case kLongVarChar:
      case kLongVarBinary:
        StoreBig32(value, static_cast<uint32_t>(LoadSlot<int32_t>(valueBlock, slot)));
        break;
      case kFloat:
        StoreBig32(value, LoadSlot<uint32_t>(valueBlock, slot));
        break;
      case kDouble: {
        uint64_t bits = LoadSlot<uint64_t>(valueBlock, slot);
        StoreBig32(value, static_cast<uint32_t>(bits >> 32));
        StoreBig32(value + 4, static_cast<uint32_t>(bits));
        break;
      }
      case kDate:
      case kTime:
        for (int part = 0; part < 3; part++)
          StoreBig16(value + 2 * part, static_cast<uint16_t>(LoadSlot<int16_t>(valueBlock, slot + 2 * part)));
        break;
      case kBoolean:
        value[0] = valueBlock[slot] != 0;
        break;
      default: {  // varchar, binary chunk
        const RuntimeString* string = LoadSlot<const RuntimeString*>(valueBlock, slot);
        text = reinterpret_cast<const uint8_t*>(StringCText(string));
        textLength = StringLength(string);
        StoreBig32(value, static_cast<uint32_t>(textLength));
        size = 4;
        break;
      }
    }
    if (record->size() + 2 + size + static_cast<size_t>(textLength) > 0xFFFF) return false;
    record->push_back(format.fieldId);
    record->push_back(format.typeCode);
    record->insert(record->end(), value, value + size);
    if (textLength) record->insert(record->end(), text, text + textLength);
  }
  StoreBig16(record->data(), static_cast<uint32_t>(record->size()));
  return true;
}

bool encodeKey(const uint8_t* valueBlock, const FieldFormat* formats, int32_t count, const KeyFieldList& keyFields,
               ByteString* key) {
  ByteString record;
  if (!encodeRecord(valueBlock, formats, count, &record)) return false;
  RecordKey(record.data(), static_cast<int32_t>(record.size()), keyFields, key);
  return true;
}

void DecodeFields(const uint8_t* record, int32_t length, const FieldFormat* formats, int32_t count,
                  uint8_t* valueBlock) {
  for (int32_t index = 0; index < count; index++) {
    const FieldFormat& format = formats[index];
    FieldLocation field = FindField(record, length, format.fieldId);
    int32_t number = 0;
    if (field.typeCode == kSmallInt) number = static_cast<int16_t>(LoadBig16(field.value));
    if (field.typeCode == kInteger) number = static_cast<int32_t>(LoadBig32(field.value));
    bool numeric = field.typeCode == kSmallInt || field.typeCode == kInteger;
    switch (format.typeCode) {
      case kSmallInt:
        StoreSlot<int16_t>(valueBlock, format.slotOffset, static_cast<int16_t>(numeric ? number : 0));
        break;
      case kInteger:
        StoreSlot<int32_t>(valueBlock, format.slotOffset, numeric ? number : 0);
        break;
      case kVarChar:
      case kBinaryChunk: {
        RuntimeString* string = LoadSlot<RuntimeString*>(valueBlock, format.slotOffset);
        bool text = field.typeCode == kVarChar || field.typeCode == kBinaryChunk;
        StringMakeFromBytes(&string, text ? field.value + 4 : nullptr, text ? field.size - 4 : 0);
        StoreSlot<RuntimeString*>(valueBlock, format.slotOffset, string);
        break;
      }
      default:
        break;
    }
  }
}
