// Engine primitives over RuntimeString. A "slot" is a RuntimeString* variable that owns one
// reference; functions returning RuntimeString* hand the caller one reference. Null is "".
// Strings made here keep their buffer in the same block as the object; only these primitives
// allocate and free string memory.
#pragma once

#include <array>
#include <cstdint>
#include <initializer_list>

#include "core/runtime_layout.h"

// Folds the bytes that engine-internal names may differ in: ASCII lower to upper case and the
// lower-case letters of the Mac OS Roman set to their capitals.
extern const std::array<unsigned char, 256> CaseFoldTable;

// Making strings. Make* release what the slot held first; n <= 0 gives null. With null bytes
// the text is left for the caller to fill (the terminator and length byte are set).
void StringMakeFromBytes(RuntimeString** slot, const void* bytes, int32_t n);
void StringMakeFromCString(RuntimeString** slot, const char* text);
void StringMakeFromPString(RuntimeString** slot, const unsigned char* counted);
RuntimeString* StringFromBytes(const void* bytes, int32_t n);
RuntimeString* StringFromCString(const char* text);

// References. Copy stores a new reference into an empty slot; Assign releases the slot's old
// string first and does nothing when both slots are the same.
RuntimeString* StringRetain(RuntimeString* s);
void StringRelease(RuntimeString* s);
void StringCopy(RuntimeString** slot, RuntimeString* const* source);
void StringAssign(RuntimeString** slot, RuntimeString* const* source);

inline int32_t StringLength(const RuntimeString* s) { return s ? s->length : 0; }
// The NUL-terminated view: buffer + 1, or a static "" for null.
const char* StringCText(const RuntimeString* s);

// The address of the byte at a 0-based index (0 <= index < length, unchecked) after giving the
// slot a private copy when its string is shared.
char* StringWritableChar(RuntimeString** slot, int32_t index);

// Pieces (0-based). Whole-string results are the operand itself with one more reference.
RuntimeString* StringTakeLeft(RuntimeString* s, int32_t n);
RuntimeString* StringTakeTail(RuntimeString* s, int32_t index);
RuntimeString* StringTakeMiddle(RuntimeString* s, int32_t index, int32_t n);
RuntimeString* StringTakeRight(RuntimeString* s, int32_t n);
RuntimeString* StringConcatenate(RuntimeString* a, RuntimeString* b);
RuntimeString* StringAppendByte(RuntimeString* s, unsigned char c);
// The NUL-terminated pieces joined into one new string (messages and names).
RuntimeString* StringJoin(std::initializer_list<const char*> pieces);

// Case-folded comparisons for engine-internal names: -1, 0 or 1.
int StringCompareFolded(const RuntimeString* a, const RuntimeString* b);
int StringCompareFolded(const RuntimeString* a, const char* b);
int CStringCompareFolded(const char* a, const char* b);
int BytesCompareFolded(const void* a, int32_t lengthA, const void* b, int32_t lengthB);
inline bool StringEqualsFolded(const RuntimeString* a, const RuntimeString* b) { return StringCompareFolded(a, b) == 0; }
inline bool StringEqualsFolded(const RuntimeString* a, const char* b) { return StringCompareFolded(a, b) == 0; }

// Unsigned byte comparison of two NUL-terminated strings: -1, 0 or 1.
int CStringCompareExact(const char* a, const char* b);

// "%d" of a signed 32-bit value.
RuntimeString* StringFromInteger(int32_t value);
// A leading "-" negates; every decimal digit anywhere accumulates; everything else is skipped.
int32_t ParseInteger(const char* text);
