#include "library/character_tables.h"

#include "platform/win32.h"

namespace {

CharacterTables BuildTables() {
  CharacterTables tables{};
  for (int byte = 0; byte < 256; ++byte) {
    tables.leadByte[byte] = IsDBCSLeadByte(static_cast<BYTE>(byte)) != FALSE;
    tables.doubleByte = tables.doubleByte || tables.leadByte[byte];
  }
  for (int byte = 0; byte < 256; ++byte) {
    tables.fold[byte] = static_cast<unsigned char>(byte);
    if (tables.doubleByte) continue;
    char text = static_cast<char>(byte);
    WORD type = 0;
    GetStringTypeExA(LOCALE_USER_DEFAULT, CT_CTYPE1, &text, 1, &type);
    CharUpperBuffA(&text, 1);
    tables.fold[byte] = static_cast<unsigned char>(text);
    tables.space[byte] = (type & (C1_SPACE | C1_BLANK)) != 0;
  }
  return tables;
}

int32_t Step(const CharacterTables& tables, const char* text, int32_t index) {
  return tables.leadByte[static_cast<unsigned char>(text[index])] ? 2 : 1;
}

}  // namespace

const CharacterTables& LibraryCharacterTables() {
  // The code page does not change while the process runs, so one build serves for good.
  static const CharacterTables tables = BuildTables();
  return tables;
}

int32_t CharacterCount(const char* text, int32_t length) {
  const CharacterTables& tables = LibraryCharacterTables();
  int32_t count = 0;
  for (int32_t index = 0; index < length; index += Step(tables, text, index)) count++;
  return count;
}

int32_t BytePositionOfCharacter(const char* text, int32_t length, int32_t k) {
  if (k <= 0) return 0;
  const CharacterTables& tables = LibraryCharacterTables();
  int32_t index = 0;
  for (int32_t character = 1; index < length && character < k; character++) index += Step(tables, text, index);
  return index + 1;
}

int32_t ByteCountOfCharacters(const char* text, int32_t length, int32_t k) {
  if (k <= 0) return 0;
  const CharacterTables& tables = LibraryCharacterTables();
  int32_t index = 0;
  for (int32_t character = 0; index < length && character < k; character++) index += Step(tables, text, index);
  return index;
}

int32_t CharacterPositionOfByte(const char* text, int32_t index) {
  const CharacterTables& tables = LibraryCharacterTables();
  int32_t character = 1;
  for (int32_t walked = 0; walked < index; walked += Step(tables, text, walked)) character++;
  return character;
}
