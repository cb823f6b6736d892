#include "library/text_search.h"

#include <cstring>

#include "core/memory_manager.h"
#include "library/character_tables.h"
#include "platform/win32.h"

namespace {

char* UpperCopy(const char* bytes, int32_t length) {
  auto* copy = static_cast<char*>(PlatformAlloc(static_cast<size_t>(length)));
  memcpy(copy, bytes, static_cast<size_t>(length));
  CharUpperBuffA(copy, static_cast<DWORD>(length));
  return copy;
}

}  // namespace

TextSearch::TextSearch(const char* text, int32_t length, const char* find, int32_t findLength, Mode mode)
    : text_(text), length_(length), find_(find), findLength_(findLength) {
  characters_ = mode == Mode::kLibrary && LibraryCharacterTables().doubleByte;
  if (characters_ && findLength_ > 0 && length_ >= findLength_) {
    // The platform's case conversion keeps every character's length, so byte indexes of the
    // copies are those of the originals.
    ownedText_ = UpperCopy(text_, length_);
    ownedFind_ = UpperCopy(find_, findLength_);
    text_ = ownedText_;
    find_ = ownedFind_;
  }
  if (!characters_ && findLength_ > 0) {
    // Delimiters such as "," or tab fold from no other byte: candidates are then found with memchr.
    const auto& fold = LibraryCharacterTables().fold;
    auto first = static_cast<unsigned char>(find_[0]);
    int preimages = 0;
    for (int byte = 0; byte < 256; byte++) preimages += fold[byte] == fold[first];
    if (preimages == 1) firstByte_ = first;
  }
}

TextSearch::~TextSearch() {
  PlatformFree(ownedText_);
  PlatformFree(ownedFind_);
}

int32_t TextSearch::FindFrom(int32_t from) const {
  if (findLength_ <= 0 || from < 0 || from >= length_ || length_ - from < findLength_) return -1;
  const CharacterTables& tables = LibraryCharacterTables();
  const auto* text = reinterpret_cast<const unsigned char*>(text_);
  const auto* find = reinterpret_cast<const unsigned char*>(find_);
  int32_t last = length_ - findLength_;
  if (characters_) {
    for (int32_t index = from; index <= last; index += tables.leadByte[text[index]] ? 2 : 1) {
      if (memcmp(text + index, find, static_cast<size_t>(findLength_)) == 0) return index;
    }
    return -1;
  }
  const unsigned char* fold = tables.fold.data();
  unsigned char first = fold[find[0]];
  for (int32_t index = from; index <= last; index++) {
    if (firstByte_ >= 0) {
      const void* candidate = memchr(text + index, firstByte_, static_cast<size_t>(last - index + 1));
      if (candidate == nullptr) return -1;
      index = static_cast<int32_t>(static_cast<const unsigned char*>(candidate) - text);
    } else if (fold[text[index]] != first) {
      continue;
    }
    int32_t matched = 1;
    while (matched < findLength_ && fold[text[index + matched]] == fold[find[matched]]) matched++;
    if (matched == findLength_) return index;
  }
  return -1;
}
