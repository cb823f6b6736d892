// Records and sort keys: fields of a data record, the value blocks callers pass records in,
// and the byte-string keys that order every tree.
#pragma once

#include <cstdint>
#include <vector>

#include "database/storage_format.h"

using ByteString = std::vector<uint8_t>;
// Field ids whose key parts, in order, make a data record's key (at most 255).
using KeyFieldList = std::vector<uint8_t>;

// One field of a value block: its id, its type code and where its 8-byte slot begins. A slot
// holds an int16_t (smallint), int32_t (integer, large-value reference), RuntimeString*
// (varchar, binary chunk), float, double, three int16_t (date, time) or one byte (boolean).
struct FieldFormat {
  uint8_t fieldId;
  uint8_t typeCode;
  int32_t slotOffset;
};

// Where one field's value lies in a record.
struct FieldLocation {
  uint8_t typeCode = 0;  // 0: the record has no such field
  const uint8_t* value = nullptr;
  int32_t size = 0;  // bytes of the value, including a string's 4-byte length
};

// The size of a value of the given type that starts at value, with available bytes left in
// the record; -1 for an unknown type code or a value running past the record.
int32_t FieldValueSize(uint8_t typeCode, const uint8_t* value, int32_t available);

// Whether the fields of a data record of length bytes are well formed: known type codes and
// values that end exactly at the record's end. Records failing this are never stored.
bool RecordFieldsValid(const uint8_t* record, int32_t length);

// The first field with the given id; typeCode 0 when there is none.
FieldLocation FindField(const uint8_t* record, int32_t length, uint8_t fieldId);

// Keys. A missing field gives 0x00; a present one 0x01 followed by its ordered form.
void AppendKeyPart(ByteString* key, const FieldLocation& field);
// The key of a data record: the 4 bytes of its record id when the list is empty.
void RecordKey(const uint8_t* record, int32_t length, const KeyFieldList& keyFields, ByteString* key);
// The key of a directory entry: 0x01 0x01, the sort weight of each name byte, 0x00.
void DirectoryKey(const uint8_t* name, int32_t length, ByteString* key);
// The separator key of an interior entry, or one of the keys above by the page kind.
void EntryKey(uint32_t pageKind, const uint8_t* entry, const KeyFieldList& keyFields, ByteString* key);
// The order of a data record's key against key (-1, 0 or 1), without making the record's key.
int CompareRecordKey(const uint8_t* record, int32_t length, const KeyFieldList& keyFields, const uint8_t* key,
                     size_t keyLength);
// The order of an entry's key against key (-1, 0 or 1), computing it in scratch only when it is
// not stored as it is.
int CompareEntryKey(uint32_t pageKind, const uint8_t* entry, const KeyFieldList& keyFields, const ByteString& key,
                    ByteString* scratch);
// Unsigned byte order; a prefix sorts first.
int CompareKeys(const uint8_t* a, size_t lengthA, const uint8_t* b, size_t lengthB);
inline int CompareKeys(const ByteString& a, const ByteString& b) {
  return CompareKeys(a.data(), a.size(), b.data(), b.size());
}

// A record of the value block's fields in format order (formats of unknown type are left
// out), with zero status, stamp and record id. False when it cannot be expressed (a string
// too long for a record).
bool encodeRecord(const uint8_t* valueBlock, const FieldFormat* formats, int32_t count, ByteString* record);
// The key the record of the same value block would have.
bool encodeKey(const uint8_t* valueBlock, const FieldFormat* formats, int32_t count, const KeyFieldList& keyFields,
               ByteString* key);

// Fills the slots of formats from the record as an equal-key scan delivers them: a smallint slot
// takes a smallint or the low 16 bits of an integer, an integer slot an integer or a widened
// smallint (else 0); a string slot a varchar or binary chunk (else the empty string); other
// slots are left as they are.
void DecodeFields(const uint8_t* record, int32_t length, const FieldFormat* formats, int32_t count,
                  uint8_t* valueBlock);
