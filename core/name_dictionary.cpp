#include "core/name_dictionary.h"

#include <cstring>

#include "core/memory_manager.h"
#include "core/runtime_string.h"

uint32_t NameHashBytes(const char* bytes, int32_t length) {
  uint32_t hash = 0;
  for (int32_t index = 0; index < length; index++) {
    int32_t byte = static_cast<signed char>(bytes[index]);
    if (byte >= 'a' && byte <= 'z') byte -= 32;
    hash = static_cast<uint32_t>(byte) ^ (hash << 2);
  }
  return hash;
}

uint32_t NameHash(const RuntimeString* name) { return NameHashBytes(StringCText(name), StringLength(name)); }

NameDictionary* NameDictionaryCreate() {
  auto* dictionary = static_cast<NameDictionary*>(SmallAlloc(sizeof(NameDictionary)));
  memset(dictionary, 0, sizeof *dictionary);
  return dictionary;
}

namespace {

NameDictionaryEntry* FindEntry(const NameDictionary* dictionary, uint32_t hash, const RuntimeString* name) {
  for (NameDictionaryEntry* entry = dictionary->buckets[hash & 0xFF]; entry; entry = entry->nextInBucket)
    if (entry->hash == hash && StringEqualsFolded(entry->name, name)) return entry;
  return nullptr;
}

}  // namespace

void NameDictionaryInsert(NameDictionary* dictionary, RuntimeString* name, void* value) {
  uint32_t hash = NameHash(name);
  if (NameDictionaryEntry* existing = FindEntry(dictionary, hash, name)) {
    existing->value = value;
    return;
  }
  auto* entry = static_cast<NameDictionaryEntry*>(SmallAlloc(sizeof(NameDictionaryEntry)));
  entry->hash = hash;
  entry->name = StringRetain(name);
  entry->value = value;
  entry->nextInBucket = dictionary->buckets[hash & 0xFF];
  dictionary->buckets[hash & 0xFF] = entry;
  entry->nextInOrder = nullptr;
  if (dictionary->last)
    dictionary->last->nextInOrder = entry;
  else
    dictionary->first = entry;
  dictionary->last = entry;
}

void* NameDictionaryLookup(const NameDictionary* dictionary, const RuntimeString* name) {
  NameDictionaryEntry* entry = FindEntry(dictionary, NameHash(name), name);
  return entry ? entry->value : nullptr;
}

void* NameDictionaryLookup(const NameDictionary* dictionary, const char* name) {
  // Hashes and compares the text in place: a lookup allocates nothing.
  int32_t length = name ? static_cast<int32_t>(strlen(name)) : 0;
  uint32_t hash = NameHashBytes(name, length);
  for (NameDictionaryEntry* entry = dictionary->buckets[hash & 0xFF]; entry; entry = entry->nextInBucket)
    if (entry->hash == hash && StringEqualsFolded(entry->name, name)) return entry->value;
  return nullptr;
}

void NameDictionaryDestroy(NameDictionary* dictionary) {
  if (dictionary == nullptr) return;
  for (NameDictionaryEntry* entry = dictionary->first; entry;) {
    NameDictionaryEntry* next = entry->nextInOrder;
    StringRelease(entry->name);
    SmallFree(entry, sizeof(NameDictionaryEntry));
    entry = next;
  }
  SmallFree(dictionary, sizeof(NameDictionary));
}

NameDictionaryCursor NameDictionaryIterate(const NameDictionary* dictionary) { return {dictionary, nullptr, false}; }

bool NameDictionaryAdvance(NameDictionaryCursor* cursor) {
  if (!cursor->started) {
    cursor->started = true;
    cursor->current = cursor->dictionary->first;
  } else if (cursor->current) {
    cursor->current = cursor->current->nextInOrder;
  }
  return cursor->current != nullptr;
}

void* NameDictionaryCurrentValue(const NameDictionaryCursor* cursor) {
  return cursor->current ? cursor->current->value : nullptr;
}
