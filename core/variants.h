// Variants (one value of a few types, converted on demand) and collections (an ordered list
// of Variants with optional text keys): built-in classes and the services application code calls.
#pragma once

#include <cstdint>

#include "core/runtime_layout.h"

// The type codes VarType reports.
enum VariantType : uint32_t {
  VariantNothing = 0,  // a nil Variant reference
  VariantNull = 1,
  VariantInteger = 2,
  VariantDouble = 5,
  VariantString = 8,
  VariantBoolean = 11,
  VariantObject = 13,
};

// Defines "Variant" and "Collection" (idempotent).
void RegisterVariantClasses();

extern "C" {
RuntimeObject* intToVariant(int32_t value);
RuntimeObject* booleanToVariant(bool value);
RuntimeObject* doubleToVariant(double value);
RuntimeObject* stringToVariant(RuntimeString* value);
RuntimeObject* objectToVariant(RuntimeObject* value);
RuntimeObject* getNilVariant();
int32_t VarType(RuntimeObject* variant);
bool IsNumeric(RuntimeObject* variant);
bool IsNull(RuntimeObject* variant);
int32_t variantToInt(RuntimeObject* variant);
bool variantToBoolean(RuntimeObject* variant);
double variantToDouble(RuntimeObject* variant);
RuntimeString* variantToString(RuntimeObject* variant);
RuntimeObject* variantToObject(RuntimeObject* variant);

int32_t collectionCount(RuntimeObject* collection);
RuntimeObject* collectionIdxItem(RuntimeObject* collection, int32_t index);
RuntimeObject* collectionItem(RuntimeObject* collection, RuntimeString* key);
void collectionAdd(RuntimeObject* collection, RuntimeObject* value, RuntimeString* key);
void collectionIdxRemove(RuntimeObject* collection, int32_t index);
void collectionKeyRemove(RuntimeObject* collection, RuntimeString* key);
}
