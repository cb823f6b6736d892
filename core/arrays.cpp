#include "core/arrays.h"

#include <cstring>
#include <type_traits>
#include <utility>

#include "core/exceptions.h"
#include "core/memory_manager.h"
#include "core/object_model.h"
#include "core/runtime_string.h"
#include "library/string_functions.h"

// ---- Element vectors ----

ElementVector* NewElementVector(int32_t elementSize) {
  auto* vector = static_cast<ElementVector*>(SmallAlloc(sizeof(ElementVector)));
  *vector = {nullptr, 0, 0, elementSize};
  return vector;
}

void DisposeElementVector(ElementVector* vector) {
  if (vector == nullptr) return;
  DisposeHandle(vector->storage);
  SmallFree(vector, sizeof(ElementVector));
}

namespace {

// Storage of n entries; a size beyond what a 32-bit block can hold is out of memory.
int32_t StorageBytes(const ElementVector* vector, int64_t n) {
  int64_t bytes = n * vector->elementSize;
  if (bytes > INT32_MAX) OutOfMemory();
  return static_cast<int32_t>(bytes);
}

char* Bytes(const ElementVector* vector) { return static_cast<char*>(vector->storage->data); }

}  // namespace

void VectorSetCount(ElementVector* vector, int64_t n) {
  if (n <= 0) {
    // No entries: the storage goes, the element size stays.
    DisposeHandle(vector->storage);
    vector->storage = nullptr;
    vector->count = vector->capacity = 0;
    return;
  }
  int32_t bytes = StorageBytes(vector, n);
  if (vector->storage == nullptr) {
    vector->storage = NewHandleClear(bytes);
  } else {
    int32_t kept = vector->count * vector->elementSize;
    ResizeHandle(vector->storage, bytes);
    if (bytes > kept) memset(Bytes(vector) + kept, 0, static_cast<size_t>(bytes - kept));
  }
  vector->count = vector->capacity = static_cast<int32_t>(n);
}

// Growing by 16 entries at a time makes a long run of appends quadratic (every step copies the
// whole storage), so large vectors grow by half their size instead.
int32_t VectorGrowthStep(int32_t count) { return count / 2 > 16 ? count / 2 : 16; }

void VectorInsert(ElementVector* vector, int32_t index, const void* value) {
  if (vector->count == vector->capacity) {
    int64_t capacity = static_cast<int64_t>(vector->capacity) + VectorGrowthStep(vector->count);
    int32_t bytes = StorageBytes(vector, capacity);
    if (vector->storage == nullptr)
      vector->storage = NewHandle(bytes);
    else
      ResizeHandle(vector->storage, bytes);
    vector->capacity = static_cast<int32_t>(capacity);
  }
  size_t size = static_cast<size_t>(vector->elementSize);
  char* at = Bytes(vector) + static_cast<size_t>(index) * size;
  memmove(at + size, at, static_cast<size_t>(vector->count - index) * size);
  memcpy(at, value, size);
  vector->count++;
}

void VectorRemove(ElementVector* vector, int32_t index) {
  size_t size = static_cast<size_t>(vector->elementSize);
  char* at = Bytes(vector) + static_cast<size_t>(index) * size;
  memmove(at, at + size, static_cast<size_t>(vector->count - index - 1) * size);
  vector->count--;
}

void* VectorEntry(const ElementVector* vector, int32_t index) {
  return Bytes(vector) + static_cast<size_t>(index) * static_cast<size_t>(vector->elementSize);
}

namespace {

// ---- Element kinds ----

struct IntKind {
  using Stored = int32_t;
  using Value = int32_t;
  static Value Load(Stored s) { return s; }
  static Stored Make(Value v) { return v; }
  static void Release(Stored) {}
  static bool Greater(Stored a, Stored b) { return a > b; }
};

struct SingleKind {
  using Stored = float;
  using Value = double;
  static Value Load(Stored s) { return s; }
  static Stored Make(Value v) { return static_cast<float>(v); }
  static void Release(Stored) {}
  static bool Greater(Stored a, Stored b) { return a > b; }
};

struct DoubleKind {
  using Stored = double;
  using Value = double;
  static Value Load(Stored s) { return s; }
  static Stored Make(Value v) { return v; }
  static void Release(Stored) {}
  static bool Greater(Stored a, Stored b) { return a > b; }
};

// Loading hands the caller a reference; making takes one for the array.
struct StringKind {
  using Stored = RuntimeString*;
  using Value = RuntimeString*;
  static Value Load(Stored s) { return StringRetain(s); }
  static Stored Make(Value v) { return StringRetain(v); }
  static void Release(Stored s) { StringRelease(s); }
};

struct ObjectKind {
  using Stored = RuntimeObject*;
  using Value = RuntimeObject*;
  static Value Load(Stored s) {
    RuntimeLockObject(s);
    return s;
  }
  static Stored Make(Value v) {
    RuntimeLockObject(v);
    return v;
  }
  static void Release(Stored s) { RuntimeUnlockObject(s); }
};

enum class Releasing { Nothing, Strings, Objects };

[[noreturn]] void OutOfBounds() { RaiseNewException(ExceptionKind::OutOfBounds); }

void CheckIndex(int32_t index, int32_t upperBound) {
  if (index < 0 || index > upperBound) OutOfBounds();
}

// The direct services and the one-dimensional operations. A null array or one with another
// number of dimensions raises OutOfBoundsException for every element kind, Integer included,
// rather than reading the tree as elements.
RuntimeArray* OneDimensional(RuntimeArray* array) {
  if (array == nullptr || array->dimensionCount != 1) OutOfBounds();
  return array;
}

// A vector typed for entries of size bytes. Entries of another size cannot be read or written
// safely (a Double read of an Integer vector would run past its storage), so that raises too.
template <typename Stored>
void TypeVector(ElementVector* vector) {
  if (vector->elementSize == 0 && vector->count == 0) vector->elementSize = sizeof(Stored);
  if (vector->elementSize != static_cast<int32_t>(sizeof(Stored))) RaiseNewException(ExceptionKind::TypeMismatch);
}

template <typename Stored>
Stored& EntryOf(const ElementVector* vector, int32_t index) {
  return *static_cast<Stored*>(VectorEntry(vector, index));
}

template <typename Kind>
typename Kind::Value ReadEntry(ElementVector* vector, int32_t index) {
  if (vector == nullptr || index >= vector->count) return typename Kind::Value{};
  TypeVector<typename Kind::Stored>(vector);
  return Kind::Load(EntryOf<typename Kind::Stored>(vector, index));
}

// Stores into an entry the vector already holds: the new value is referenced before the old
// one is released, so storing an element into its own place keeps it alive.
template <typename Kind>
void PutEntry(ElementVector* vector, int32_t index, typename Kind::Value value) {
  typename Kind::Stored& entry = EntryOf<typename Kind::Stored>(vector, index);
  typename Kind::Stored old = entry;
  entry = Kind::Make(value);
  Kind::Release(old);
}

int64_t Min(int64_t a, int64_t b) { return a < b ? a : b; }

template <typename Kind>
typename Kind::Value DirectRead(RuntimeArray* array, int32_t index) {
  CheckIndex(index, OneDimensional(array)->upperBounds[0]);
  return ReadEntry<Kind>(&array->elements, index);
}

// A write beyond the held entries extends the vector ahead of the index, up to the bound, so a
// run of ascending writes does not resize at every step.
template <typename Kind>
void DirectWrite(RuntimeArray* array, int32_t index, typename Kind::Value value) {
  int32_t upperBound = OneDimensional(array)->upperBounds[0];
  CheckIndex(index, upperBound);
  ElementVector* vector = &array->elements;
  TypeVector<typename Kind::Stored>(vector);
  if (index >= vector->count)
    VectorSetCount(vector, Min(static_cast<int64_t>(index) + VectorGrowthStep(vector->count), int64_t{upperBound} + 1));
  PutEntry<Kind>(vector, index, value);
}

// ---- Multi-dimensional access ----

// The next-level vector at index, created (empty) when missing.
ElementVector* ChildForWrite(ElementVector* vector, int32_t index) {
  TypeVector<ElementVector*>(vector);
  if (index >= vector->count) VectorSetCount(vector, int64_t{index} + 1);
  ElementVector*& child = EntryOf<ElementVector*>(vector, index);
  if (child == nullptr) child = NewElementVector(0);
  return child;
}

ElementVector* ChildForRead(ElementVector* vector, int32_t index) {
  if (vector == nullptr || index >= vector->count) return nullptr;
  TypeVector<ElementVector*>(vector);
  return EntryOf<ElementVector*>(vector, index);
}

// An access needs at least two dimensions, and each step must address the dimension that
// follows the previous one; anything else (a final step without a start, one step too many)
// raises rather than reading elements as vectors.
void StartAccess(RuntimeArray* array, int32_t index, bool writing) {
  if (array == nullptr || array->dimensionCount < 2) OutOfBounds();
  CheckIndex(index, array->upperBounds[0]);
  array->accessVector = writing ? ChildForWrite(&array->elements, index) : ChildForRead(&array->elements, index);
  array->accessLevel = 1;
}

void AddIndex(RuntimeArray* array, int32_t index, bool writing) {
  if (array == nullptr || array->accessLevel < 1 || array->accessLevel >= array->dimensionCount - 1) OutOfBounds();
  if (!writing && array->accessVector == nullptr) {
    array->accessLevel++;  // nothing was written below here: the read only counts the level
    return;
  }
  CheckIndex(index, array->upperBounds[array->accessLevel]);
  array->accessVector = writing ? ChildForWrite(array->accessVector, index) : ChildForRead(array->accessVector, index);
  array->accessLevel++;
}

// Ends the access: returns the vector reached and the bound of the last dimension. The access
// fields are cleared so that a final step needs a start again.
ElementVector* FinishAccess(RuntimeArray* array, int32_t* upperBound) {
  if (array == nullptr || array->accessLevel < 1 || array->accessLevel != array->dimensionCount - 1) OutOfBounds();
  *upperBound = array->upperBounds[array->accessLevel];
  ElementVector* vector = array->accessVector;
  array->accessLevel = 0;
  array->accessVector = nullptr;
  return vector;
}

template <typename Kind>
typename Kind::Value AccessRead(RuntimeArray* array, int32_t index, bool testMissing) {
  int32_t upperBound = 0;
  ElementVector* vector = FinishAccess(array, &upperBound);
  if (vector == nullptr) {
    if (testMissing) CheckIndex(index, upperBound);
    return typename Kind::Value{};
  }
  CheckIndex(index, upperBound);
  return ReadEntry<Kind>(vector, index);
}

template <typename Kind>
void AccessWrite(RuntimeArray* array, int32_t index, typename Kind::Value value) {
  int32_t upperBound = 0;
  ElementVector* vector = FinishAccess(array, &upperBound);
  CheckIndex(index, upperBound);
  TypeVector<typename Kind::Stored>(vector);
  if (index >= vector->count) VectorSetCount(vector, int64_t{index} + 1);
  PutEntry<Kind>(vector, index, value);
}

// ---- Append, insert, remove ----

void RaiseBound(RuntimeArray* array) {
  if (array->upperBounds[0] == INT32_MAX) OutOfBounds();
  array->upperBounds[0]++;
}

template <typename Kind>
void Insert(RuntimeArray* array, int32_t index, typename Kind::Value value) {
  ElementVector* vector = &array->elements;
  TypeVector<typename Kind::Stored>(vector);
  if (vector->count < index) VectorSetCount(vector, index);
  typename Kind::Stored stored = Kind::Make(value);
  VectorInsert(vector, index, &stored);
  RaiseBound(array);
}

template <typename Kind>
void Append(RuntimeArray* array, typename Kind::Value value) {
  int32_t upperBound = OneDimensional(array)->upperBounds[0];
  if (upperBound == INT32_MAX) OutOfBounds();
  // A bound below -1 counts as no elements: the value becomes element 0.
  if (upperBound < -1) array->upperBounds[0] = upperBound = -1;
  Insert<Kind>(array, upperBound + 1, value);
}

template <typename Kind>
void InsertAt(RuntimeArray* array, int32_t index, typename Kind::Value value) {
  CheckIndex(index, OneDimensional(array)->upperBounds[0]);
  Insert<Kind>(array, index, value);
}

template <typename Kind>
void Remove(RuntimeArray* array, int32_t index) {
  CheckIndex(index, OneDimensional(array)->upperBounds[0]);
  ElementVector* vector = &array->elements;
  if (index >= vector->count) {
    array->upperBounds[0]--;
    return;
  }
  if constexpr (std::is_same_v<Kind, IntKind>) {
    // Entries that need no release move whatever their size.
    VectorRemove(vector, index);
    array->upperBounds[0]--;
  } else {
    TypeVector<typename Kind::Stored>(vector);
    typename Kind::Stored old = EntryOf<typename Kind::Stored>(vector, index);
    VectorRemove(vector, index);
    array->upperBounds[0]--;
    Kind::Release(old);
  }
}

// ---- Sorting ----

struct NumberOrder {
  template <typename T>
  static int Compare(T a, T b) { return a < b ? -1 : b < a ? 1 : 0; }
  // Of equal maxima the last one is selected.
  template <typename T>
  static bool SelectsOver(T candidate, T maximum) { return !(maximum > candidate); }
};

struct StringOrder {
  static int Compare(RuntimeString* a, RuntimeString* b) { return StringStrCompare(a, b, 1); }
  // Of equal maxima the first one is selected.
  static bool SelectsOver(RuntimeString* candidate, RuntimeString* maximum) { return Compare(candidate, maximum) > 0; }
};

// Quicksort with the middle entry as pivot and an explicit stack of right parts; ranges of at
// most 5 entries are sorted by selecting their maximum. Entries equal to the pivot are gathered
// beside it and left out of both parts: putting them all on one side, as a plain two-way
// partition does, makes a run of equal keys (an array of unwritten zeros, say) take quadratic
// time, which for a large array is a hang. The sorted result is the same.
template <typename Order, typename T>
void SortEntries(T* entries, int32_t count) {
  struct Range {
    int32_t lo, hi;
  };
  // Each partition pushes at most one range and continues with the other, so the stack never
  // holds more ranges than there are entries.
  Range* stack = static_cast<Range*>(PlatformAlloc(sizeof(Range) * (static_cast<size_t>(count) / 2 + 2)));
  int32_t depth = 0;
  Range range{0, count - 1};
  for (;;) {
    while (range.hi - range.lo + 1 > 5) {
      int32_t lo = range.lo, hi = range.hi;
      std::swap(entries[lo], entries[lo + (hi - lo) / 2]);
      T pivot = entries[lo];
      int32_t less = lo, next = lo + 1, greater = hi;
      while (next <= greater) {
        int order = Order::Compare(entries[next], pivot);
        if (order < 0)
          std::swap(entries[less++], entries[next++]);
        else if (order > 0)
          std::swap(entries[next], entries[greater--]);
        else
          next++;
      }
      if (greater + 1 < hi) stack[depth++] = {greater + 1, hi};
      range = {lo, less - 1};
    }
    // A short range: select its maximum and move it to the end, repeatedly.
    for (int32_t end = range.hi; end > range.lo; end--) {
      int32_t maximum = range.lo;
      for (int32_t j = range.lo + 1; j <= end; j++)
        if (Order::SelectsOver(entries[j], entries[maximum])) maximum = j;
      std::swap(entries[maximum], entries[end]);
    }
    if (depth == 0) break;
    range = stack[--depth];
  }
  PlatformFree(stack);
}

// Unwritten elements take part as 0, 0.0 or "": the vector is extended to the bound first.
template <typename Kind, typename Order>
void Sort(RuntimeArray* array) {
  int32_t upperBound = OneDimensional(array)->upperBounds[0];
  if (upperBound < 1) return;
  ElementVector* vector = &array->elements;
  TypeVector<typename Kind::Stored>(vector);
  if (vector->count < upperBound + 1) VectorSetCount(vector, int64_t{upperBound} + 1);
  SortEntries<Order>(&EntryOf<typename Kind::Stored>(vector, 0), upperBound + 1);
}

// ---- Redim and dispose ----

void ReleaseElements(ElementVector* vector, int32_t from, Releasing releasing) {
  if (releasing == Releasing::Nothing) return;
  for (int32_t index = from; index < vector->count; index++) {
    if (releasing == Releasing::Strings)
      StringRelease(EntryOf<RuntimeString*>(vector, index));
    else
      RuntimeUnlockObject(EntryOf<RuntimeObject*>(vector, index));
  }
}

// Releases what the entries of a vector at depth hold from index from on: elements at the last
// level, whole subtrees above it.
void ReleaseEntries(ElementVector* vector, int32_t from, int32_t depth, int32_t lastLevel, Releasing releasing);

void DisposeTree(ElementVector* vector, int32_t depth, int32_t lastLevel, Releasing releasing) {
  if (vector == nullptr) return;
  ReleaseEntries(vector, 0, depth, lastLevel, releasing);
  DisposeElementVector(vector);
}

void ReleaseEntries(ElementVector* vector, int32_t from, int32_t depth, int32_t lastLevel, Releasing releasing) {
  if (vector->count <= from) return;
  if (depth >= lastLevel) {
    ReleaseElements(vector, from, releasing);
    return;
  }
  for (int32_t index = from; index < vector->count; index++)
    DisposeTree(EntryOf<ElementVector*>(vector, index), depth + 1, lastLevel, releasing);
}

void Trim(ElementVector* vector, int32_t depth, int32_t level, int32_t kept, int32_t lastLevel, Releasing releasing) {
  if (vector == nullptr) return;
  if (depth < level) {
    for (int32_t index = 0; index < vector->count; index++)
      Trim(EntryOf<ElementVector*>(vector, index), depth + 1, level, kept, lastLevel, releasing);
    return;
  }
  if (vector->count <= kept) return;
  ReleaseEntries(vector, kept, depth, lastLevel, releasing);
  VectorSetCount(vector, kept);
}

// A level outside the declared dimensions raises: there is no bound slot or tree level for it.
void Redim(RuntimeArray* array, int32_t level, int32_t upperBound, Releasing releasing) {
  if (array == nullptr || level < 0 || level >= array->dimensionCount) OutOfBounds();
  array->upperBounds[level] = upperBound;
  int32_t kept = upperBound < 0 ? 0 : upperBound + 1;
  Trim(&array->elements, 0, level, kept, array->dimensionCount - 1, releasing);
}

void Dispose(RuntimeArray* array, Releasing releasing) {
  if (array == nullptr) return;
  ElementVector* elements = &array->elements;
  ReleaseEntries(elements, 0, 0, array->dimensionCount - 1, releasing);
  DisposeHandle(elements->storage);
  GuardedFree(array);
}

// ---- Fast boolean arrays ----

int32_t& FastCount(MemoryHandle* array) { return *static_cast<int32_t*>(array->data); }
uint8_t* FastBytes(MemoryHandle* array) { return static_cast<uint8_t*>(array->data) + sizeof(int32_t); }

MemoryHandle* FastArray(MemoryHandle* array) {
  if (array == nullptr) OutOfBounds();
  return array;
}

// Resizes to count elements, zeroing the bytes added.
void FastResize(MemoryHandle* array, int64_t count) {
  if (count < 0) count = 0;
  if (count > INT32_MAX - static_cast<int64_t>(sizeof(int32_t))) OutOfMemory();
  int32_t old = FastCount(array);
  ResizeHandle(array, static_cast<int32_t>(sizeof(int32_t) + count));
  if (count > old) memset(FastBytes(array) + old, 0, static_cast<size_t>(count - old));
  FastCount(array) = static_cast<int32_t>(count);
}

}  // namespace

extern "C" {

RuntimeArray* RuntimeCreateArray() {
  auto* array = static_cast<RuntimeArray*>(GuardedAlloc(sizeof(RuntimeArray)));
  memset(array, 0, sizeof(RuntimeArray));
  return array;
}

// More than the slots hold raises instead of writing past them.
void RuntimeArrayCreateAddIndex(RuntimeArray* array, int32_t low, int32_t high) {
  if (array == nullptr || array->dimensionCount >= MaximumArrayDimensions) OutOfBounds();
  array->upperBounds[array->dimensionCount++] =
      static_cast<int32_t>(static_cast<uint32_t>(high) - static_cast<uint32_t>(low));
}

// An array without a declared dimension has no bound to report.
int32_t RuntimeUBound(RuntimeArray* array) {
  if (array == nullptr || array->dimensionCount < 1) OutOfBounds();
  return array->upperBounds[0];
}

int32_t RuntimeDirectReadIntArray(RuntimeArray* array, int32_t index) { return DirectRead<IntKind>(array, index); }
double RuntimeDirectReadSingleArray(RuntimeArray* array, int32_t index) { return DirectRead<SingleKind>(array, index); }
double RuntimeDirectReadDoubleArray(RuntimeArray* array, int32_t index) { return DirectRead<DoubleKind>(array, index); }
RuntimeString* RuntimeDirectReadStringArray(RuntimeArray* array, int32_t index) {
  return DirectRead<StringKind>(array, index);
}
RuntimeObject* RuntimeDirectReadObjectArray(RuntimeArray* array, int32_t index) {
  return DirectRead<ObjectKind>(array, index);
}

void RuntimeDirectWriteIntArray(RuntimeArray* array, int32_t index, int32_t value) {
  DirectWrite<IntKind>(array, index, value);
}
void RuntimeDirectWriteSingleArray(RuntimeArray* array, int32_t index, double value) {
  DirectWrite<SingleKind>(array, index, value);
}
void RuntimeDirectWriteDoubleArray(RuntimeArray* array, int32_t index, double value) {
  DirectWrite<DoubleKind>(array, index, value);
}
void RuntimeDirectWriteStringArray(RuntimeArray* array, int32_t index, RuntimeString* value) {
  DirectWrite<StringKind>(array, index, value);
}
void RuntimeDirectWriteObjectArray(RuntimeArray* array, int32_t index, RuntimeObject* value) {
  DirectWrite<ObjectKind>(array, index, value);
}

void RuntimeArrayStartReadAccess(RuntimeArray* array, int32_t index) { StartAccess(array, index, false); }
void RuntimeArrayStartWriteAccess(RuntimeArray* array, int32_t index) { StartAccess(array, index, true); }
void RuntimeArrayAddReadIndex(RuntimeArray* array, int32_t index) { AddIndex(array, index, false); }
void RuntimeArrayAddWriteIndex(RuntimeArray* array, int32_t index) { AddIndex(array, index, true); }

int32_t RuntimeReadIntArray(RuntimeArray* array, int32_t index) { return AccessRead<IntKind>(array, index, false); }
double RuntimeReadSingleArray(RuntimeArray* array, int32_t index) { return AccessRead<SingleKind>(array, index, false); }
double RuntimeReadDoubleArray(RuntimeArray* array, int32_t index) { return AccessRead<DoubleKind>(array, index, false); }
RuntimeString* RuntimeReadStringArray(RuntimeArray* array, int32_t index) {
  return AccessRead<StringKind>(array, index, true);
}
RuntimeObject* RuntimeReadObjectArray(RuntimeArray* array, int32_t index) {
  return AccessRead<ObjectKind>(array, index, false);
}

void RuntimeWriteIntArray(RuntimeArray* array, int32_t index, int32_t value) { AccessWrite<IntKind>(array, index, value); }
void RuntimeWriteSingleArray(RuntimeArray* array, int32_t index, double value) {
  AccessWrite<SingleKind>(array, index, value);
}
void RuntimeWriteDoubleArray(RuntimeArray* array, int32_t index, double value) {
  AccessWrite<DoubleKind>(array, index, value);
}
void RuntimeWriteStringArray(RuntimeArray* array, int32_t index, RuntimeString* value) {
  AccessWrite<StringKind>(array, index, value);
}
void RuntimeWriteObjectArray(RuntimeArray* array, int32_t index, RuntimeObject* value) {
  AccessWrite<ObjectKind>(array, index, value);
}

void RuntimeIntArrayAppend(RuntimeArray* array, int32_t value) { Append<IntKind>(array, value); }
void RuntimeSingleArrayAppend(RuntimeArray* array, double value) { Append<SingleKind>(array, value); }
void RuntimeDoubleArrayAppend(RuntimeArray* array, double value) { Append<DoubleKind>(array, value); }
void RuntimeStringArrayAppend(RuntimeArray* array, RuntimeString* value) { Append<StringKind>(array, value); }
void RuntimeObjectArrayAppend(RuntimeArray* array, RuntimeObject* value) { Append<ObjectKind>(array, value); }

void RuntimeIntArrayInsert(RuntimeArray* array, int32_t index, int32_t value) { InsertAt<IntKind>(array, index, value); }
void RuntimeSingleArrayInsert(RuntimeArray* array, int32_t index, double value) {
  InsertAt<SingleKind>(array, index, value);
}
void RuntimeDoubleArrayInsert(RuntimeArray* array, int32_t index, double value) {
  InsertAt<DoubleKind>(array, index, value);
}
void RuntimeStringArrayInsert(RuntimeArray* array, int32_t index, RuntimeString* value) {
  InsertAt<StringKind>(array, index, value);
}
void RuntimeObjectArrayInsert(RuntimeArray* array, int32_t index, RuntimeObject* value) {
  InsertAt<ObjectKind>(array, index, value);
}

// The Integer form removes from any array whose elements need no release: Single and Double
// arrays have no form of their own.
void RuntimeIntArrayRemove(RuntimeArray* array, int32_t index) { Remove<IntKind>(array, index); }
void RuntimeStringArrayRemove(RuntimeArray* array, int32_t index) { Remove<StringKind>(array, index); }
void RuntimeObjectArrayRemove(RuntimeArray* array, int32_t index) { Remove<ObjectKind>(array, index); }

void RuntimeIntArraySort(RuntimeArray* array) { Sort<IntKind, NumberOrder>(array); }
void RuntimeSingleArraySort(RuntimeArray* array) { Sort<SingleKind, NumberOrder>(array); }
void RuntimeDoubleArraySort(RuntimeArray* array) { Sort<DoubleKind, NumberOrder>(array); }
void RuntimeStringArraySort(RuntimeArray* array) { Sort<StringKind, StringOrder>(array); }

void RuntimeRedimIntArrayLevel(RuntimeArray* array, int32_t level, int32_t upperBound) {
  Redim(array, level, upperBound, Releasing::Nothing);
}
void RuntimeRedimStringArrayLevel(RuntimeArray* array, int32_t level, int32_t upperBound) {
  Redim(array, level, upperBound, Releasing::Strings);
}
void RuntimeRedimObjectArrayLevel(RuntimeArray* array, int32_t level, int32_t upperBound) {
  Redim(array, level, upperBound, Releasing::Objects);
}

// Disposing of nil does nothing, as releasing nil does.
void RuntimeDisposeIntArray(RuntimeArray* array) { Dispose(array, Releasing::Nothing); }
void RuntimeDisposeStringArray(RuntimeArray* array) { Dispose(array, Releasing::Strings); }
void RuntimeDisposeObjectArray(RuntimeArray* array) { Dispose(array, Releasing::Objects); }

// A bound below -1 makes an empty array, as -1 does.
MemoryHandle* RuntimeCreateFastBooleanArray(int32_t upperBound) {
  int32_t count = upperBound < 0 ? 0 : upperBound + 1;
  if (upperBound == INT32_MAX || count > INT32_MAX - static_cast<int32_t>(sizeof(int32_t))) OutOfMemory();
  MemoryHandle* array = NewHandleClear(static_cast<int32_t>(sizeof(int32_t)) + count);
  FastCount(array) = count;
  return array;
}

int32_t RuntimeFastArrayUBound(MemoryHandle* array) { return FastCount(FastArray(array)) - 1; }

bool RuntimeFastReadBoolArray(MemoryHandle* array, int32_t index) {
  CheckIndex(index, FastCount(FastArray(array)) - 1);
  return FastBytes(array)[index] != 0;
}

void RuntimeFastWriteBoolArray(MemoryHandle* array, int32_t index, bool value) {
  CheckIndex(index, FastCount(FastArray(array)) - 1);
  FastBytes(array)[index] = value ? 1 : 0;
}

void RuntimeRedimFastBoolArray(MemoryHandle* array, int32_t upperBound) {
  FastResize(FastArray(array), int64_t{upperBound} + 1);
}

void RuntimeFastBooleanArrayAppend(MemoryHandle* array, bool value) {
  RuntimeFastBooleanArrayInsert(array, FastCount(FastArray(array)), value);
}

// Inserting at the count (one past the bound) appends.
void RuntimeFastBooleanArrayInsert(MemoryHandle* array, int32_t index, bool value) {
  int32_t count = FastCount(FastArray(array));
  CheckIndex(index, count);
  FastResize(array, int64_t{count} + 1);
  uint8_t* bytes = FastBytes(array);
  memmove(bytes + index + 1, bytes + index, static_cast<size_t>(count - index));
  bytes[index] = value ? 1 : 0;
}

void RuntimeFastBooleanArrayRemove(MemoryHandle* array, int32_t index) {
  int32_t count = FastCount(FastArray(array));
  CheckIndex(index, count - 1);
  uint8_t* bytes = FastBytes(array);
  memmove(bytes + index, bytes + index + 1, static_cast<size_t>(count - index - 1));
  FastResize(array, count - 1);
}

void RuntimeDisposeFastBooleanArray(MemoryHandle* array) { DisposeHandle(array); }

}  // extern "C"
