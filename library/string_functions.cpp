#include "library/string_functions.h"

#include <cstring>

#include "core/memory_manager.h"
#include "core/runtime_string.h"
#include "core/string_services.h"
#include "library/character_tables.h"
#include "library/text_search.h"
#include "platform/win32.h"

namespace {

const char* Bytes(const RuntimeString* s) { return StringCText(s); }

bool DoubleByte() { return LibraryCharacterTables().doubleByte; }

// start - 1 without overflow, for start values far below 1.
int32_t Before(int32_t start) { return start == INT32_MIN ? INT32_MAX : start - 1; }

// A copy of the string, upper- or lower-cased by the platform.
RuntimeString* CaseCopy(RuntimeString* s, DWORD(WINAPI* convert)(LPSTR, DWORD)) {
  RuntimeString* copy = StringFromBytes(Bytes(s), StringLength(s));
  if (copy) convert(copy->buffer + 1, static_cast<DWORD>(copy->length));
  return copy;
}

WORD CharacterType(const char* bytes, int32_t n) {
  WORD types[2] = {0, 0};
  GetStringTypeExA(LOCALE_USER_DEFAULT, CT_CTYPE1, bytes, n, types);
  return types[0];
}

// The bytes of the character at index: 2 for a lead byte with a byte after it, else 1.
int32_t CharacterBytes(const char* text, int32_t length, int32_t index) {
  bool lead = LibraryCharacterTables().leadByte[static_cast<unsigned char>(text[index])];
  return lead && index + 1 < length ? 2 : 1;
}

// The first match, or every one: the search resumes after each inserted replacement, which is
// the source just after the match, so the matches are those found left to right in the source.
// One pass counts them, a second writes the result at its final size. Without a match the
// result is the source itself.
RuntimeString* ReplaceMatches(RuntimeString* source, RuntimeString* find, RuntimeString* replacement, bool all) {
  int32_t length = StringLength(source);
  int32_t findLength = StringLength(find);
  int32_t replacementLength = StringLength(replacement);
  TextSearch search(Bytes(source), length, Bytes(find), findLength);
  auto next = [&](int32_t found) { return all ? search.FindFrom(found + findLength) : -1; };
  int64_t matches = 0;
  for (int32_t found = search.FindFrom(0); found >= 0; found = next(found)) matches++;
  if (matches == 0) return StringRetain(source);
  int64_t size = length + matches * (replacementLength - findLength);
  if (size > INT32_MAX) OutOfMemory();
  RuntimeString* result = StringFromBytes(nullptr, static_cast<int32_t>(size));
  if (result == nullptr) return nullptr;
  char* out = result->buffer + 1;
  int32_t copied = 0;
  for (int32_t found = search.FindFrom(0); found >= 0; found = next(found)) {
    memcpy(out, Bytes(source) + copied, static_cast<size_t>(found - copied));
    out += found - copied;
    memcpy(out, Bytes(replacement), static_cast<size_t>(replacementLength));
    out += replacementLength;
    copied = found + findLength;
  }
  memcpy(out, Bytes(source) + copied, static_cast<size_t>(length - copied));
  return result;
}

}  // namespace

extern "C" {

RuntimeString* StringLeft(RuntimeString* s, int32_t n) { return StringTakeLeft(s, n); }

RuntimeString* StringRight(RuntimeString* s, int32_t n) { return StringTakeRight(s, n); }

// Start positions below 1 are outside the contract; they count as 1, so nothing before the
// string is ever read.
RuntimeString* StringMid2(RuntimeString* s, int32_t start) { return StringTakeTail(s, start < 1 ? 0 : start - 1); }

RuntimeString* StringMid3(RuntimeString* s, int32_t start, int32_t count) {
  return StringTakeMiddle(s, start < 1 ? 0 : start - 1, count);
}

int32_t StringLen(RuntimeString* s) { return StringLength(s); }

int32_t StringAsc(RuntimeString* s) { return StringLength(s) ? static_cast<unsigned char>(Bytes(s)[0]) : 0; }

RuntimeString* StringChr(int32_t code) {
  char byte = static_cast<char>(code & 0xFF);
  return StringFromBytes(&byte, 1);
}

RuntimeString* StringDBCSLeft(RuntimeString* s, int32_t n) {
  if (!DoubleByte()) return StringLeft(s, n);
  return StringLeft(s, ByteCountOfCharacters(Bytes(s), StringLength(s), n));
}

RuntimeString* StringDBCSRight(RuntimeString* s, int32_t n) {
  if (!DoubleByte()) return StringRight(s, n);
  int32_t length = StringLength(s);
  int32_t characters = CharacterCount(Bytes(s), length);
  if (n >= characters) return StringRetain(s);
  if (n <= 0) return nullptr;
  int32_t position = BytePositionOfCharacter(Bytes(s), length, characters - n + 1);
  return StringRight(s, length - position + 1);
}

RuntimeString* StringDBCSMid2(RuntimeString* s, int32_t start) {
  if (!DoubleByte()) return StringMid2(s, start);
  return StringMid2(s, BytePositionOfCharacter(Bytes(s), StringLength(s), start));
}

RuntimeString* StringDBCSMid3(RuntimeString* s, int32_t start, int32_t count) {
  if (!DoubleByte()) return StringMid3(s, start, count);
  if (count <= 0) return nullptr;
  const char* text = Bytes(s);
  int32_t length = StringLength(s);
  int32_t first = BytePositionOfCharacter(text, length, start);
  int64_t lastCharacter = int64_t{start} + count - 1;
  int32_t end =
      ByteCountOfCharacters(text, length, lastCharacter > INT32_MAX ? INT32_MAX : static_cast<int32_t>(lastCharacter));
  return StringMid3(s, first, end - first + 1);
}

int32_t StringDBCSLen(RuntimeString* s) {
  if (!DoubleByte()) return StringLen(s);
  return CharacterCount(Bytes(s), StringLength(s));
}

int32_t StringDBCSAsc(RuntimeString* s) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(Bytes(s));
  if (DoubleByte() && StringLength(s) >= 2 && LibraryCharacterTables().leadByte[bytes[0]])
    return bytes[0] * 256 + bytes[1];
  return StringAsc(s);
}

// Codes are compared as signed numbers: a negative code is below 256 and gives one byte.
RuntimeString* StringDBCSChr(int32_t code) {
  if (code < 256) return StringChr(code);
  char bytes[2] = {static_cast<char>((code >> 8) & 0xFF), static_cast<char>(code & 0xFF)};
  return StringFromBytes(bytes, 2);
}

RuntimeString* StringLCase(RuntimeString* s) { return CaseCopy(s, CharLowerBuffA); }

RuntimeString* StringUCase(RuntimeString* s) { return CaseCopy(s, CharUpperBuffA); }

RuntimeString* StringTitleCase(RuntimeString* s) {
  RuntimeString* copy = StringFromBytes(Bytes(s), StringLength(s));
  if (copy == nullptr) return nullptr;
  const CharacterTables& tables = LibraryCharacterTables();
  char* text = copy->buffer + 1;
  int32_t length = copy->length;
  bool wordStart = true;
  for (int32_t index = 0; index < length;) {
    bool lead = tables.leadByte[static_cast<unsigned char>(text[index])];
    if (lead && index + 1 == length) break;
    int32_t n = lead ? 2 : 1;
    WORD type = CharacterType(text + index, n);
    if (type & (C1_SPACE | C1_BLANK)) {
      wordStart = true;
    } else if (wordStart) {
      wordStart = false;
      if (!(type & C1_UPPER)) CharUpperBuffA(text + index, static_cast<DWORD>(n));
    } else if (type & C1_UPPER) {
      CharLowerBuffA(text + index, static_cast<DWORD>(n));
    }
    index += n;
  }
  return copy;
}

int32_t StringInStr(int32_t start, RuntimeString* source, RuntimeString* find) {
  LibraryCharacterTables();
  if (StringLength(source) == 0) return 0;
  if (StringLength(find) == 0) return Before(start);
  int32_t from = start > 1 ? start - 1 : 0;
  // On a double-byte system the fold table is the identity: this form then matches case exactly.
  TextSearch search(Bytes(source), StringLength(source), Bytes(find), StringLength(find), TextSearch::Mode::kBytes);
  return search.FindFrom(from) + 1;
}

int32_t StringDBCSInStr(int32_t start, RuntimeString* source, RuntimeString* find) {
  if (!DoubleByte()) return StringInStr(start, source, find);
  if (StringLength(source) == 0) return 0;
  // start - 1 as the plain form gives: a character position, like every other result here.
  if (StringLength(find) == 0) return Before(start);
  const char* text = Bytes(source);
  int32_t position = BytePositionOfCharacter(text, StringLength(source), start);
  TextSearch search(text, StringLength(source), Bytes(find), StringLength(find));
  int32_t found = search.FindFrom(position > 1 ? position - 1 : 0);
  return found < 0 ? 0 : CharacterPositionOfByte(text, found);
}

RuntimeString* StringReplace(RuntimeString* source, RuntimeString* find, RuntimeString* replacement) {
  return ReplaceMatches(source, find, replacement, false);
}

RuntimeString* StringReplaceAll(RuntimeString* source, RuntimeString* find, RuntimeString* replacement) {
  return ReplaceMatches(source, find, replacement, true);
}

int32_t StringCountFields(RuntimeString* source, RuntimeString* delimiter) {
  int32_t length = StringLength(source);
  int32_t delimiterLength = StringLength(delimiter);
  if (length == 0) return 0;
  if (delimiterLength == 0) return 1;
  TextSearch search(Bytes(source), length, Bytes(delimiter), delimiterLength);
  int32_t fields = 1;
  for (int32_t found = search.FindFrom(0); found >= 0; found = search.FindFrom(found + delimiterLength)) fields++;
  return fields;
}

RuntimeString* StringNthField(RuntimeString* source, RuntimeString* delimiter, int32_t n) {
  int32_t length = StringLength(source);
  int32_t delimiterLength = StringLength(delimiter);
  if (length == 0 || n < 1 || delimiterLength == 0) return nullptr;
  TextSearch search(Bytes(source), length, Bytes(delimiter), delimiterLength);
  int32_t fieldStart = 0;
  for (int32_t field = 1;; field++) {
    int32_t found = search.FindFrom(fieldStart);
    if (field == n)
      return found < 0 ? StringTakeTail(source, fieldStart) : StringTakeMiddle(source, fieldStart, found - fieldStart);
    if (found < 0) return nullptr;
    fieldStart = found + delimiterLength;
  }
}

RuntimeString* runLTrim(RuntimeString* s) {
  const char* text = Bytes(s);
  int32_t length = StringLength(s);
  const CharacterTables& tables = LibraryCharacterTables();
  int32_t index = 0;
  if (!tables.doubleByte) {
    while (index < length && tables.space[static_cast<unsigned char>(text[index])]) index++;
  } else {
    while (index < length) {
      int32_t n = CharacterBytes(text, length, index);
      if (!(CharacterType(text + index, n) & C1_SPACE)) break;
      index += n;
    }
  }
  return StringTakeTail(s, index);
}

RuntimeString* runRTrim(RuntimeString* s) {
  const char* text = Bytes(s);
  int32_t length = StringLength(s);
  const CharacterTables& tables = LibraryCharacterTables();
  int32_t end = 0;
  if (!tables.doubleByte) {
    end = length;
    while (end > 0 && tables.space[static_cast<unsigned char>(text[end - 1])]) end--;
  } else {
    // Double-byte text is walked from the start: a trail byte may look like a space.
    for (int32_t index = 0; index < length;) {
      int32_t n = CharacterBytes(text, length, index);
      if (!(CharacterType(text + index, n) & C1_SPACE)) end = index + n;
      index += n;
    }
  }
  return StringTakeLeft(s, end);
}

RuntimeString* runTrim(RuntimeString* s) {
  const CharacterTables& tables = LibraryCharacterTables();
  if (tables.doubleByte) {
    RuntimeString* left = runLTrim(s);
    RuntimeString* both = runRTrim(left);
    StringRelease(left);
    return both;
  }
  const char* text = Bytes(s);
  int32_t first = 0;
  int32_t end = StringLength(s);
  while (first < end && tables.space[static_cast<unsigned char>(text[first])]) first++;
  while (end > first && tables.space[static_cast<unsigned char>(text[end - 1])]) end--;
  return StringTakeMiddle(s, first, end - first);
}

int32_t StringStrCompare(RuntimeString* a, RuntimeString* b, int32_t mode) {
  int32_t lengthA = StringLength(a);
  int32_t lengthB = StringLength(b);
  if (mode == 0) {
    int32_t common = lengthA < lengthB ? lengthA : lengthB;
    int order = common ? memcmp(Bytes(a), Bytes(b), static_cast<size_t>(common)) : 0;
    if (order == 0) order = (lengthA > lengthB) - (lengthA < lengthB);
    return (order > 0) - (order < 0);
  }
  return StringCompareByLocale(a, b, 0);
}

const char* StringToCString(RuntimeString* s) { return StringCText(s); }

const unsigned char* StringToPString(RuntimeString* s) {
  static const unsigned char empty[2] = {0, 0};
  return s ? reinterpret_cast<const unsigned char*>(s->buffer) : empty;
}

uint32_t StringToOSType(RuntimeString* s) {
  int32_t length = StringLength(s);
  if (length == 0) return 0x3F3F3F3Fu;  // "????"
  uint32_t code = 0;
  memcpy(&code, Bytes(s), static_cast<size_t>(length < 4 ? length : 4));
  return code;
}

const char* StringGetCString(RuntimeString* s) { return StringToCString(s); }

const unsigned char* StringGetPString(RuntimeString* s) { return StringToPString(s); }

}  // extern "C"
