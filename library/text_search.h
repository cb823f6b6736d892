// The library's one search: find text ignoring case, as every search of the string library does.
#pragma once

#include <cstdint>

class TextSearch {
 public:
  enum class Mode {
    kBytes,    // byte by byte through the fold table, at every byte position
    kLibrary,  // as kBytes on a single-byte system; on a double-byte one, over upper-cased
               // copies and at character starts only
  };

  TextSearch(const char* text, int32_t length, const char* find, int32_t findLength, Mode mode = Mode::kLibrary);
  ~TextSearch();
  TextSearch(const TextSearch&) = delete;
  TextSearch& operator=(const TextSearch&) = delete;

  // The 0-based byte index of the first match at or after from (a character start), or -1.
  // An empty find is never found.
  int32_t FindFrom(int32_t from) const;

 private:
  const char* text_;
  int32_t length_;
  const char* find_;
  int32_t findLength_;
  bool characters_;            // step over double-byte characters
  int firstByte_ = -1;         // the only byte that folds as find's first byte does, if one
  char* ownedText_ = nullptr;  // upper-cased copies in the double-byte mode
  char* ownedFind_ = nullptr;
};
