// The string library's character tables and the walks over double-byte text built on them.
#pragma once

#include <array>
#include <cstdint>

struct CharacterTables {
  std::array<bool, 256> leadByte;  // the ANSI code page's lead bytes
  bool doubleByte;                 // at least one lead byte exists
  // Built only on a single-byte system; on a double-byte one fold is the identity (byte
  // searches there match case exactly) and space is all false.
  std::array<unsigned char, 256> fold;  // each byte upper-cased alone
  std::array<bool, 256> space;          // C1_SPACE or C1_BLANK
};

// Built on first use from the platform's answers, once per process.
const CharacterTables& LibraryCharacterTables();

// Walks over text of length bytes: a lead byte and the byte after it are one character.
// Positions are 1-based, as at the service level.
int32_t CharacterCount(const char* text, int32_t length);
// The byte position where character k starts; 0 for k <= 0; past the last character walked
// when the text has fewer than k characters.
int32_t BytePositionOfCharacter(const char* text, int32_t length, int32_t k);
// The bytes the first k characters occupy; 0 for k <= 0; up to the end of the walk when the
// text has fewer than k characters.
int32_t ByteCountOfCharacters(const char* text, int32_t length, int32_t k);
// The character position of the character that starts at byte index (0-based).
int32_t CharacterPositionOfByte(const char* text, int32_t index);
