// A string-keyed hash table compared without regard to case (the case-folded comparison), with
// 256 buckets and a list in insertion order. It serves the service resolver, the class registry
// and each window's control table.
#pragma once

#include <cstdint>

#include "core/runtime_layout.h"

struct NameDictionaryEntry {
  NameDictionaryEntry* nextInBucket;
  NameDictionaryEntry* nextInOrder;
  uint32_t hash;
  RuntimeString* name;  // one reference held
  void* value;
};

constexpr int NameDictionaryBucketCount = 256;

struct NameDictionary {
  NameDictionaryEntry* buckets[NameDictionaryBucketCount];
  NameDictionaryEntry* first;  // insertion order
  NameDictionaryEntry* last;
};

// Visits the values in insertion order: Advance reports whether an entry remains, then
// CurrentValue gives it.
struct NameDictionaryCursor {
  const NameDictionary* dictionary;
  NameDictionaryEntry* current;
  bool started;
};

// The hash of a name: ASCII lower case folded to upper, each byte taken as signed, then
// h = byte XOR (h << 2). The bucket is the low 8 bits.
uint32_t NameHash(const RuntimeString* name);
uint32_t NameHashBytes(const char* bytes, int32_t length);

NameDictionary* NameDictionaryCreate();
// Replaces the value of an entry with an equal name, or adds one that holds its own reference.
void NameDictionaryInsert(NameDictionary* dictionary, RuntimeString* name, void* value);
void* NameDictionaryLookup(const NameDictionary* dictionary, const RuntimeString* name);
void* NameDictionaryLookup(const NameDictionary* dictionary, const char* name);
// Releases every name and frees every entry, then the dictionary; null is ignored.
void NameDictionaryDestroy(NameDictionary* dictionary);

NameDictionaryCursor NameDictionaryIterate(const NameDictionary* dictionary);
bool NameDictionaryAdvance(NameDictionaryCursor* cursor);
void* NameDictionaryCurrentValue(const NameDictionaryCursor* cursor);
