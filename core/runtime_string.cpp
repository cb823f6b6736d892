#include "core/runtime_string.h"

#include <array>
#include <cstdio>
#include <cstring>

#include "core/memory_manager.h"

namespace {

const char EmptyText[1] = {0};

constexpr unsigned char BuildFoldEntry(unsigned byte) {
  if (byte >= 'a' && byte <= 'z') return static_cast<unsigned char>(byte - 32);
  // Lower-case letters of Mac OS Roman and the capitals they fold to.
  constexpr unsigned char MacRomanPairs[][2] = {
      {0x87, 0xE7}, {0x88, 0xCB}, {0x89, 0xE5}, {0x8A, 0x80}, {0x8B, 0xCC}, {0x8C, 0x81},
      {0x8D, 0x82}, {0x8E, 0x83}, {0x8F, 0xE9}, {0x90, 0xE6}, {0x91, 0xE8}, {0x92, 0xEA},
      {0x93, 0xED}, {0x94, 0xEB}, {0x95, 0xEC}, {0x96, 0x84}, {0x97, 0xEE}, {0x98, 0xF1},
      {0x99, 0xEF}, {0x9A, 0x85}, {0x9B, 0xCD}, {0x9C, 0xF2}, {0x9D, 0xF4}, {0x9E, 0xF3},
      {0x9F, 0x86}, {0xBE, 0xAE}, {0xBF, 0xAF}, {0xCF, 0xCE}, {0xD8, 0xD9}, {0xF5, 0x49}};
  for (const auto& pair : MacRomanPairs)
    if (pair[0] == byte) return pair[1];
  return static_cast<unsigned char>(byte);
}

int Sign(int value) { return (value > 0) - (value < 0); }


RuntimeString* NewString(const void* bytes, int32_t n) {
  if (n <= 0) return nullptr;
  // The buffer follows the object in the same block: one allocation and one free per string.
  // Releasing tells the two layouts apart by the buffer's address.
  if (n > INT32_MAX - 2 - static_cast<int32_t>(sizeof(RuntimeString))) OutOfMemory();
  auto* s = static_cast<RuntimeString*>(SmallAlloc(static_cast<int32_t>(sizeof(RuntimeString)) + n + 2));
  s->count = 1;
  s->length = n;
  s->bufferSize = n + 2;
  s->buffer = reinterpret_cast<char*>(s + 1);
  s->buffer[0] = static_cast<char>(n < 255 ? n : 255);
  if (bytes) memcpy(s->buffer + 1, bytes, static_cast<size_t>(n));
  s->buffer[n + 1] = 0;
  return s;
}

}  // namespace

constexpr std::array<unsigned char, 256> CaseFoldTable = [] {
  std::array<unsigned char, 256> table{};
  for (unsigned byte = 0; byte < 256; byte++) table[byte] = BuildFoldEntry(byte);
  return table;
}();

RuntimeString* StringFromBytes(const void* bytes, int32_t n) { return NewString(bytes, n); }

RuntimeString* StringFromCString(const char* text) {
  return text ? NewString(text, static_cast<int32_t>(strlen(text))) : nullptr;
}

void StringMakeFromBytes(RuntimeString** slot, const void* bytes, int32_t n) {
  StringRelease(*slot);
  *slot = NewString(bytes, n);
}

void StringMakeFromCString(RuntimeString** slot, const char* text) {
  StringRelease(*slot);
  *slot = StringFromCString(text);
}

void StringMakeFromPString(RuntimeString** slot, const unsigned char* counted) {
  StringRelease(*slot);
  *slot = counted ? NewString(counted + 1, counted[0]) : nullptr;
}

RuntimeString* StringRetain(RuntimeString* s) {
  if (s) s->count++;
  return s;
}

void StringRelease(RuntimeString* s) {
  if (s == nullptr || --s->count != 0) return;
  if (s->buffer == reinterpret_cast<char*>(s + 1)) {
    SmallFree(s, static_cast<int32_t>(sizeof(RuntimeString)) + s->bufferSize);
    return;
  }
  SmallFree(s->buffer, s->bufferSize);
  SmallFree(s, sizeof(RuntimeString));
}

void StringCopy(RuntimeString** slot, RuntimeString* const* source) { *slot = StringRetain(*source); }

void StringAssign(RuntimeString** slot, RuntimeString* const* source) {
  if (slot == source) return;
  RuntimeString* old = *slot;
  *slot = StringRetain(*source);
  StringRelease(old);
}

const char* StringCText(const RuntimeString* s) { return s ? s->buffer + 1 : EmptyText; }

char* StringWritableChar(RuntimeString** slot, int32_t index) {
  RuntimeString* s = *slot;
  if (s->count != 1) {
    *slot = NewString(s->buffer + 1, s->length);
    StringRelease(s);
  }
  return (*slot)->buffer + 1 + index;
}

RuntimeString* StringTakeLeft(RuntimeString* s, int32_t n) {
  int32_t length = StringLength(s);
  if (n >= length) return StringRetain(s);
  if (n <= 0) return nullptr;
  return NewString(s->buffer + 1, n);
}

RuntimeString* StringTakeTail(RuntimeString* s, int32_t index) {
  int32_t length = StringLength(s);
  if (index >= length) return nullptr;
  if (index <= 0) return StringRetain(s);
  return NewString(s->buffer + 1 + index, length - index);
}

RuntimeString* StringTakeMiddle(RuntimeString* s, int32_t index, int32_t n) {
  int32_t length = StringLength(s);
  if (index >= length || n <= 0) return nullptr;
  // A negative index would read before the buffer; it counts from the start instead.
  if (index < 0) index = 0;
  if (index == 0 && n >= length) return StringRetain(s);
  int32_t available = length - index;
  return NewString(s->buffer + 1 + index, n < available ? n : available);
}

RuntimeString* StringTakeRight(RuntimeString* s, int32_t n) {
  int32_t length = StringLength(s);
  if (n >= length) return StringRetain(s);
  if (n <= 0) return nullptr;
  return NewString(s->buffer + 1 + length - n, n);
}

RuntimeString* StringConcatenate(RuntimeString* a, RuntimeString* b) {
  int32_t lengthA = StringLength(a);
  int32_t lengthB = StringLength(b);
  if (lengthA == 0) return StringRetain(b);
  if (lengthB == 0) return StringRetain(a);
  if (lengthB > INT32_MAX - 32 - lengthA) OutOfMemory();
  RuntimeString* result = NewString(nullptr, lengthA + lengthB);
  memcpy(result->buffer + 1, a->buffer + 1, static_cast<size_t>(lengthA));
  memcpy(result->buffer + 1 + lengthA, b->buffer + 1, static_cast<size_t>(lengthB));
  return result;
}

RuntimeString* StringAppendByte(RuntimeString* s, unsigned char c) {
  int32_t length = StringLength(s);
  RuntimeString* result = NewString(nullptr, length + 1);
  if (length) memcpy(result->buffer + 1, s->buffer + 1, static_cast<size_t>(length));
  result->buffer[1 + length] = static_cast<char>(c);
  return result;
}

RuntimeString* StringJoin(std::initializer_list<const char*> pieces) {
  size_t total = 0;
  for (const char* piece : pieces) total += piece ? strlen(piece) : 0;
  if (total > static_cast<size_t>(INT32_MAX - 32)) OutOfMemory();
  RuntimeString* joined = NewString(nullptr, static_cast<int32_t>(total));
  size_t offset = 0;
  for (const char* piece : pieces) {
    size_t length = piece ? strlen(piece) : 0;
    if (length) memcpy(joined->buffer + 1 + offset, piece, length);
    offset += length;
  }
  return joined;
}

int BytesCompareFolded(const void* a, int32_t lengthA, const void* b, int32_t lengthB) {
  const auto* left = static_cast<const unsigned char*>(a);
  const auto* right = static_cast<const unsigned char*>(b);
  int32_t common = lengthA < lengthB ? lengthA : lengthB;
  for (int32_t index = 0; index < common; index++) {
    int difference = CaseFoldTable[left[index]] - CaseFoldTable[right[index]];
    if (difference) return Sign(difference);
  }
  return Sign(lengthA - lengthB);
}

int StringCompareFolded(const RuntimeString* a, const RuntimeString* b) {
  return BytesCompareFolded(StringCText(a), StringLength(a), StringCText(b), StringLength(b));
}

int StringCompareFolded(const RuntimeString* a, const char* b) {
  const char* textB = b ? b : EmptyText;
  return BytesCompareFolded(StringCText(a), StringLength(a), textB, static_cast<int32_t>(strlen(textB)));
}

int CStringCompareFolded(const char* a, const char* b) {
  const auto* left = reinterpret_cast<const unsigned char*>(a ? a : EmptyText);
  const auto* right = reinterpret_cast<const unsigned char*>(b ? b : EmptyText);
  for (;; left++, right++) {
    int difference = CaseFoldTable[*left] - CaseFoldTable[*right];
    if (difference) return Sign(difference);
    if (*left == 0) return 0;
  }
}

int CStringCompareExact(const char* a, const char* b) {
  return Sign(strcmp(a ? a : EmptyText, b ? b : EmptyText));
}

RuntimeString* StringFromInteger(int32_t value) {
  char text[16];
  int n = snprintf(text, sizeof text, "%d", static_cast<int>(value));
  return NewString(text, n);
}

int32_t ParseInteger(const char* text) {
  if (text == nullptr) return 0;
  bool negative = *text == '-';
  // Unsigned arithmetic: a long run of digits wraps as 32-bit arithmetic does.
  uint32_t value = 0;
  for (const char* cursor = text; *cursor; cursor++)
    if (*cursor >= '0' && *cursor <= '9') value = value * 10 + static_cast<uint32_t>(*cursor - '0');
  return static_cast<int32_t>(negative ? 0u - value : value);
}
