#include "core/variants.h"

#include <cmath>
#include <cstddef>

#include "core/arrays.h"
#include "core/class_registry.h"
#include "core/exceptions.h"
#include "core/memory_manager.h"
#include "core/object_model.h"
#include "core/runtime_string.h"
#include "library/number_functions.h"

namespace {

struct VariantRecord {
  RuntimeObject header;
  uint32_t type;
  union alignas(8) {
    int32_t integer;  // Integer and Boolean
    double number;
    RuntimeString* string;  // one reference held
    RuntimeObject* object;  // one reference held
  } value;
};

struct CollectionRecord {
  RuntimeObject header;
  ElementVector* entries;  // of CollectionEntry*; null until the first Add
};

// A guarded record holding one reference to its key and one to its value.
struct CollectionEntry {
  RuntimeString* key;
  RuntimeObject* value;
};

#if defined(__i386__)
static_assert(offsetof(VariantRecord, type) == 24);
static_assert(offsetof(VariantRecord, value) == 32);
static_assert(sizeof(VariantRecord) == 40);
static_assert(sizeof(CollectionRecord) == 28);
#endif

ClassRecord* variantClass;
ClassRecord* collectionClass;

void FinaliseVariant(RuntimeObject* object, ClassRecord*) {
  auto* variant = reinterpret_cast<VariantRecord*>(object);
  if (variant->type == VariantString) StringRelease(variant->value.string);
  if (variant->type == VariantObject) RuntimeUnlockObject(variant->value.object);
  variant->type = VariantNull;
}

void FinaliseCollection(RuntimeObject* object, ClassRecord*) {
  auto* collection = reinterpret_cast<CollectionRecord*>(object);
  ElementVector* entries = collection->entries;
  if (entries == nullptr) return;
  collection->entries = nullptr;
  for (int32_t index = 0; index < entries->count; index++) {
    auto* entry = *static_cast<CollectionEntry**>(VectorEntry(entries, index));
    StringRelease(entry->key);
    RuntimeUnlockObject(entry->value);
    GuardedFree(entry);
  }
  DisposeElementVector(entries);
}

VariantRecord* NewVariant(uint32_t type) {
  if (variantClass == nullptr) RegisterVariantClasses();
  auto* variant = reinterpret_cast<VariantRecord*>(NewInstance(variantClass));
  variant->type = type;
  return variant;
}

RuntimeObject* Result(VariantRecord* variant) { return &variant->header; }

// The conversions take non-nil Variants only; a nil one raises NilObjectException.
VariantRecord* Given(RuntimeObject* variant) {
  if (variant == nullptr) RaiseNewException(ExceptionKind::NilObject);
  return reinterpret_cast<VariantRecord*>(variant);
}

[[noreturn]] void TypeMismatch() { RaiseNewException(ExceptionKind::TypeMismatch); }

// Collection services on nil raise NilObjectException, as calling a method of nil does.
CollectionRecord* GivenCollection(RuntimeObject* collection) {
  if (collection == nullptr) RaiseNewException(ExceptionKind::NilObject);
  return reinterpret_cast<CollectionRecord*>(collection);
}

int32_t EntryCount(const CollectionRecord* collection) {
  return collection->entries ? collection->entries->count : 0;
}

CollectionEntry* EntryAt(const CollectionRecord* collection, int32_t position) {
  return *static_cast<CollectionEntry**>(VectorEntry(collection->entries, position));
}

// The 0-based position of a 1-based index, or OutOfBoundsException.
int32_t PositionOf(const CollectionRecord* collection, int32_t index) {
  if (index < 1 || index > EntryCount(collection)) RaiseNewException(ExceptionKind::OutOfBounds);
  return index - 1;
}

int32_t PositionOfKey(const CollectionRecord* collection, RuntimeString* key) {
  for (int32_t position = 0; position < EntryCount(collection); position++)
    if (StringEqualsFolded(EntryAt(collection, position)->key, key)) return position;
  return -1;
}

void RemoveAt(CollectionRecord* collection, int32_t position) {
  CollectionEntry* entry = EntryAt(collection, position);
  VectorRemove(collection->entries, position);
  StringRelease(entry->key);
  RuntimeUnlockObject(entry->value);
  GuardedFree(entry);
}

}  // namespace

void RegisterVariantClasses() {
  if (variantClass == nullptr || FindClassByName("Variant") != variantClass)
    variantClass = DefineBuiltInClass("Variant", nullptr, sizeof(VariantRecord), nullptr, FinaliseVariant);
  if (collectionClass != nullptr && FindClassByName("Collection") == collectionClass) return;
  collectionClass = DefineBuiltInClass("Collection", nullptr, sizeof(CollectionRecord), nullptr, FinaliseCollection);
  AddProperty(collectionClass, "Count", nullptr, reinterpret_cast<void*>(&collectionCount), nullptr, 0);
  AddMethod(collectionClass, "Item", reinterpret_cast<void*>(&collectionIdxItem));
  AddMethod(collectionClass, "Item", reinterpret_cast<void*>(&collectionItem));
  AddMethod(collectionClass, "Add", reinterpret_cast<void*>(&collectionAdd));
  AddMethod(collectionClass, "Remove", reinterpret_cast<void*>(&collectionIdxRemove));
  AddMethod(collectionClass, "Remove", reinterpret_cast<void*>(&collectionKeyRemove));
}

extern "C" {

RuntimeObject* intToVariant(int32_t value) {
  VariantRecord* variant = NewVariant(VariantInteger);
  variant->value.integer = value;
  return Result(variant);
}

RuntimeObject* booleanToVariant(bool value) {
  VariantRecord* variant = NewVariant(VariantBoolean);
  variant->value.integer = value ? 1 : 0;
  return Result(variant);
}

RuntimeObject* doubleToVariant(double value) {
  VariantRecord* variant = NewVariant(VariantDouble);
  variant->value.number = value;
  return Result(variant);
}

RuntimeObject* stringToVariant(RuntimeString* value) {
  VariantRecord* variant = NewVariant(VariantString);
  variant->value.string = StringRetain(value);
  return Result(variant);
}

RuntimeObject* objectToVariant(RuntimeObject* value) {
  VariantRecord* variant = NewVariant(VariantObject);
  RuntimeLockObject(value);
  variant->value.object = value;
  return Result(variant);
}

RuntimeObject* getNilVariant() { return Result(NewVariant(VariantNull)); }

int32_t VarType(RuntimeObject* variant) {
  return variant ? static_cast<int32_t>(reinterpret_cast<VariantRecord*>(variant)->type)
                 : static_cast<int32_t>(VariantNothing);
}

bool IsNumeric(RuntimeObject* variant) { return VarType(variant) == VariantInteger || VarType(variant) == VariantDouble; }

bool IsNull(RuntimeObject* variant) { return VarType(variant) == VariantNull; }

// A Double outside the Integer range, or NaN, gives 0x80000000, as the processor's truncating
// conversion does, instead of an undefined conversion.
int32_t variantToInt(RuntimeObject* variant) {
  VariantRecord* v = Given(variant);
  switch (v->type) {
    case VariantInteger:
      return v->value.integer;
    case VariantBoolean:
      return v->value.integer != 0 ? 1 : 0;
    case VariantDouble: {
      double truncated = std::trunc(v->value.number);
      if (!(truncated >= -2147483648.0 && truncated <= 2147483647.0)) return INT32_MIN;
      return static_cast<int32_t>(truncated);
    }
    default:
      TypeMismatch();
  }
}

bool variantToBoolean(RuntimeObject* variant) {
  VariantRecord* v = Given(variant);
  switch (v->type) {
    case VariantInteger:
    case VariantBoolean:
      return v->value.integer != 0;
    case VariantDouble:
      return v->value.number != 0.0;  // NaN is not 0.0: true
    default:
      TypeMismatch();
  }
}

double variantToDouble(RuntimeObject* variant) {
  VariantRecord* v = Given(variant);
  switch (v->type) {
    case VariantInteger:
      return v->value.integer;
    case VariantBoolean:
      return v->value.integer != 0 ? 1.0 : 0.0;
    case VariantDouble:
      return v->value.number;
    default:
      TypeMismatch();
  }
}

RuntimeString* variantToString(RuntimeObject* variant) {
  VariantRecord* v = Given(variant);
  switch (v->type) {
    case VariantInteger:
      return StringFromInteger(v->value.integer);
    case VariantDouble:
      return runCStr(v->value.number);
    case VariantString:
      return StringRetain(v->value.string);
    case VariantBoolean:
      return StringFromCString(v->value.integer != 0 ? "True" : "False");
    default:
      TypeMismatch();
  }
}

RuntimeObject* variantToObject(RuntimeObject* variant) {
  VariantRecord* v = Given(variant);
  if (v->type != VariantObject) TypeMismatch();
  RuntimeLockObject(v->value.object);
  return v->value.object;
}

int32_t collectionCount(RuntimeObject* collection) { return EntryCount(GivenCollection(collection)); }

RuntimeObject* collectionIdxItem(RuntimeObject* collection, int32_t index) {
  CollectionRecord* c = GivenCollection(collection);
  RuntimeObject* value = EntryAt(c, PositionOf(c, index))->value;
  RuntimeLockObject(value);
  return value;
}

RuntimeObject* collectionItem(RuntimeObject* collection, RuntimeString* key) {
  CollectionRecord* c = GivenCollection(collection);
  int32_t position = PositionOfKey(c, key);
  if (position < 0) return nullptr;
  RuntimeObject* value = EntryAt(c, position)->value;
  RuntimeLockObject(value);
  return value;
}

void collectionAdd(RuntimeObject* collection, RuntimeObject* value, RuntimeString* key) {
  CollectionRecord* c = GivenCollection(collection);
  if (c->entries == nullptr) c->entries = NewElementVector(sizeof(CollectionEntry*));
  auto* entry = static_cast<CollectionEntry*>(GuardedAlloc(sizeof(CollectionEntry)));
  entry->key = StringRetain(key);
  RuntimeLockObject(value);
  entry->value = value;
  VectorInsert(c->entries, c->entries->count, &entry);
}

void collectionIdxRemove(RuntimeObject* collection, int32_t index) {
  CollectionRecord* c = GivenCollection(collection);
  RemoveAt(c, PositionOf(c, index));
}

void collectionKeyRemove(RuntimeObject* collection, RuntimeString* key) {
  CollectionRecord* c = GivenCollection(collection);
  int32_t position = PositionOfKey(c, key);
  if (position >= 0) RemoveAt(c, position);
}

}  // extern "C"
