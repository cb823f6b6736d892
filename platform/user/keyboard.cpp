// The keyboard: the layer's key state, and TranslateMessage's characters for the keys of a US
// keyboard layout.
#include "platform/user/keyboard.h"

#include <atomic>

#include "platform/win32.h"

namespace {

std::atomic<bool> keysDown[256];

// The character a key gives, unshifted and shifted; 0 when it gives none.
struct KeyCharacters {
  BYTE key;
  char plain;
  char shifted;
};

constexpr KeyCharacters punctuationKeys[] = {
    {0xBA, ';', ':'}, {0xBB, '=', '+'}, {0xBC, ',', '<'},  {0xBD, '-', '_'}, {0xBE, '.', '>'},  {0xBF, '/', '?'},
    {0xC0, '`', '~'}, {0xDB, '[', '{'}, {0xDC, '\\', '|'}, {0xDD, ']', '}'}, {0xDE, '\'', '"'}, {0x6A, '*', '*'},
    {0x6B, '+', '+'}, {0x6D, '-', '-'}, {0x6E, '.', '.'},  {0x6F, '/', '/'},
};

int CharacterOf(WPARAM key) {
  bool shift = kwplatform::IsKeyDown(VK_SHIFT);
  bool control = kwplatform::IsKeyDown(VK_CONTROL);
  if (key >= 'A' && key <= 'Z') {
    if (control) return static_cast<int>(key - 'A' + 1);  // control characters 1 to 26
    return static_cast<int>(shift ? key : key - 'A' + 'a');
  }
  if (control) return 0;
  if (key >= '0' && key <= '9') return shift ? ")!@#$%^&*("[key - '0'] : static_cast<int>(key);
  if (key >= 0x60 && key <= 0x69) return static_cast<int>('0' + key - 0x60);  // numeric keypad
  if (key == VK_SPACE || key == VK_BACK || key == VK_TAB || key == VK_RETURN || key == VK_ESCAPE)
    return static_cast<int>(key);
  for (const KeyCharacters& characters : punctuationKeys)
    if (characters.key == key) return shift ? characters.shifted : characters.plain;
  return 0;
}

}  // namespace

namespace kwplatform {

bool IsKeyDown(int virtualKey) { return virtualKey >= 0 && virtualKey < 256 && keysDown[virtualKey].load(); }

void SetKeyDown(int virtualKey, bool down) {
  if (virtualKey >= 0 && virtualKey < 256) keysDown[virtualKey].store(down);
}

}  // namespace kwplatform

extern "C" BOOL WINAPI TranslateMessage(const MSG* message) {
  if (message == nullptr) return FALSE;
  switch (message->message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: {
      // The character message carries the key message's lParam (repeat count, scan code...).
      int character = CharacterOf(message->wParam);
      if (character != 0)
        PostMessageA(message->hwnd, message->message == WM_KEYDOWN ? WM_CHAR : WM_SYSCHAR,
                     static_cast<WPARAM>(static_cast<unsigned char>(character)), message->lParam);
      return TRUE;
    }
    case WM_KEYUP:
    case WM_SYSKEYUP:
      // Win32 answers non-zero for every key message, whether or not it made a character.
      return TRUE;
    default:
      return FALSE;
  }
}
