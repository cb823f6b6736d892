// Arrays of the language: element vectors, RuntimeArray with its multi-dimensional access,
// and fast boolean arrays, with the services application code calls.
#pragma once

#include <cstdint>

#include "core/runtime_layout.h"

// Element vectors. Set count resizes the storage to exactly n entries (zeroing new ones) and
// makes the capacity n; insert grows the capacity in steps when full.
ElementVector* NewElementVector(int32_t elementSize);
void DisposeElementVector(ElementVector* vector);  // frees the storage and the record
void VectorSetCount(ElementVector* vector, int64_t n);
void VectorInsert(ElementVector* vector, int32_t index, const void* value);
void VectorRemove(ElementVector* vector, int32_t index);
// The address of entry index (0 <= index < count, unchecked).
void* VectorEntry(const ElementVector* vector, int32_t index);
// Entries a vector grows by when it must grow: 16, or half the count when that is more.
int32_t VectorGrowthStep(int32_t count);

extern "C" {
RuntimeArray* RuntimeCreateArray();
void RuntimeArrayCreateAddIndex(RuntimeArray* array, int32_t low, int32_t high);
int32_t RuntimeUBound(RuntimeArray* array);

int32_t RuntimeDirectReadIntArray(RuntimeArray* array, int32_t index);
double RuntimeDirectReadSingleArray(RuntimeArray* array, int32_t index);
double RuntimeDirectReadDoubleArray(RuntimeArray* array, int32_t index);
RuntimeString* RuntimeDirectReadStringArray(RuntimeArray* array, int32_t index);
RuntimeObject* RuntimeDirectReadObjectArray(RuntimeArray* array, int32_t index);
void RuntimeDirectWriteIntArray(RuntimeArray* array, int32_t index, int32_t value);
void RuntimeDirectWriteSingleArray(RuntimeArray* array, int32_t index, double value);
void RuntimeDirectWriteDoubleArray(RuntimeArray* array, int32_t index, double value);
void RuntimeDirectWriteStringArray(RuntimeArray* array, int32_t index, RuntimeString* value);
void RuntimeDirectWriteObjectArray(RuntimeArray* array, int32_t index, RuntimeObject* value);

void RuntimeArrayStartReadAccess(RuntimeArray* array, int32_t index);
void RuntimeArrayStartWriteAccess(RuntimeArray* array, int32_t index);
void RuntimeArrayAddReadIndex(RuntimeArray* array, int32_t index);
void RuntimeArrayAddWriteIndex(RuntimeArray* array, int32_t index);
int32_t RuntimeReadIntArray(RuntimeArray* array, int32_t index);
double RuntimeReadSingleArray(RuntimeArray* array, int32_t index);
double RuntimeReadDoubleArray(RuntimeArray* array, int32_t index);
RuntimeString* RuntimeReadStringArray(RuntimeArray* array, int32_t index);
RuntimeObject* RuntimeReadObjectArray(RuntimeArray* array, int32_t index);
void RuntimeWriteIntArray(RuntimeArray* array, int32_t index, int32_t value);
void RuntimeWriteSingleArray(RuntimeArray* array, int32_t index, double value);
void RuntimeWriteDoubleArray(RuntimeArray* array, int32_t index, double value);
void RuntimeWriteStringArray(RuntimeArray* array, int32_t index, RuntimeString* value);
void RuntimeWriteObjectArray(RuntimeArray* array, int32_t index, RuntimeObject* value);

void RuntimeIntArrayAppend(RuntimeArray* array, int32_t value);
void RuntimeSingleArrayAppend(RuntimeArray* array, double value);
void RuntimeDoubleArrayAppend(RuntimeArray* array, double value);
void RuntimeStringArrayAppend(RuntimeArray* array, RuntimeString* value);
void RuntimeObjectArrayAppend(RuntimeArray* array, RuntimeObject* value);
void RuntimeIntArrayInsert(RuntimeArray* array, int32_t index, int32_t value);
void RuntimeSingleArrayInsert(RuntimeArray* array, int32_t index, double value);
void RuntimeDoubleArrayInsert(RuntimeArray* array, int32_t index, double value);
void RuntimeStringArrayInsert(RuntimeArray* array, int32_t index, RuntimeString* value);
void RuntimeObjectArrayInsert(RuntimeArray* array, int32_t index, RuntimeObject* value);
void RuntimeIntArrayRemove(RuntimeArray* array, int32_t index);
void RuntimeStringArrayRemove(RuntimeArray* array, int32_t index);
void RuntimeObjectArrayRemove(RuntimeArray* array, int32_t index);

void RuntimeIntArraySort(RuntimeArray* array);
void RuntimeSingleArraySort(RuntimeArray* array);
void RuntimeDoubleArraySort(RuntimeArray* array);
void RuntimeStringArraySort(RuntimeArray* array);

void RuntimeRedimIntArrayLevel(RuntimeArray* array, int32_t level, int32_t upperBound);
void RuntimeRedimStringArrayLevel(RuntimeArray* array, int32_t level, int32_t upperBound);
void RuntimeRedimObjectArrayLevel(RuntimeArray* array, int32_t level, int32_t upperBound);
void RuntimeDisposeIntArray(RuntimeArray* array);
void RuntimeDisposeStringArray(RuntimeArray* array);
void RuntimeDisposeObjectArray(RuntimeArray* array);

// Fast boolean arrays: a handle whose block is a 32-bit count followed by one byte per element.
MemoryHandle* RuntimeCreateFastBooleanArray(int32_t upperBound);
int32_t RuntimeFastArrayUBound(MemoryHandle* array);
bool RuntimeFastReadBoolArray(MemoryHandle* array, int32_t index);
void RuntimeFastWriteBoolArray(MemoryHandle* array, int32_t index, bool value);
void RuntimeRedimFastBoolArray(MemoryHandle* array, int32_t upperBound);
void RuntimeFastBooleanArrayAppend(MemoryHandle* array, bool value);
void RuntimeFastBooleanArrayInsert(MemoryHandle* array, int32_t index, bool value);
void RuntimeFastBooleanArrayRemove(MemoryHandle* array, int32_t index);
void RuntimeDisposeFastBooleanArray(MemoryHandle* array);
}
