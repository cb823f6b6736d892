// The keyboard: the layer's key state, scan codes, and TranslateMessage's characters for the
// keys of a US keyboard layout.
#include "platform/user/keyboard.h"

#include <atomic>

#include "platform/user/message_queue.h"
#include "platform/user/window.h"
#include "platform/win32.h"

namespace {

std::atomic<bool> keysDown[256];
std::atomic<bool> keysToggled[256];

// The character a key gives, unshifted and shifted; 0 when it gives none.
struct KeyCharacters {
  BYTE key;
  char plain;
  char shifted;
};

constexpr const char shiftedDigits[] = ")!@#$%^&*(";

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
  if (key >= '0' && key <= '9') return shift ? shiftedDigits[key - '0'] : static_cast<int>(key);
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
  if (virtualKey < 0 || virtualKey >= 256) return;
  bool wasDown = keysDown[virtualKey].exchange(down);
  if (down && !wasDown) keysToggled[virtualKey].store(!keysToggled[virtualKey].load());
}

int ScanCodeOf(int virtualKey, bool* extended) {
  struct KeyScanCode {
    int key;
    int code;
    bool extended;
  };
  static constexpr KeyScanCode specialKeys[] = {
      {VK_ESCAPE, 0x01, false}, {VK_BACK, 0x0E, false},  {VK_TAB, 0x0F, false},    {VK_RETURN, 0x1C, false},
      {VK_CONTROL, 0x1D, false}, {VK_SHIFT, 0x2A, false}, {VK_MENU, 0x38, false},   {VK_SPACE, 0x39, false},
      {VK_CAPITAL, 0x3A, false}, {VK_HOME, 0x47, true},   {VK_UP, 0x48, true},      {VK_PRIOR, 0x49, true},
      {VK_LEFT, 0x4B, true},     {VK_RIGHT, 0x4D, true},  {VK_END, 0x4F, true},     {VK_DOWN, 0x50, true},
      {VK_NEXT, 0x51, true},     {VK_INSERT, 0x52, true}, {VK_DELETE, 0x53, true},  {0xBA, 0x27, false},
      {0xBB, 0x0D, false},       {0xBC, 0x33, false},     {0xBD, 0x0C, false},      {0xBE, 0x34, false},
      {0xBF, 0x35, false},       {0xC0, 0x29, false},     {0xDB, 0x1A, false},      {0xDC, 0x2B, false},
      {0xDD, 0x1B, false},       {0xDE, 0x28, false},
  };
  // The rows of letter keys, in scan-code order.
  static constexpr const char* letterRows[] = {"QWERTYUIOP", "ASDFGHJKL", "ZXCVBNM"};
  static constexpr int letterRowStarts[] = {0x10, 0x1E, 0x2C};
  if (extended) *extended = false;
  if (virtualKey >= '1' && virtualKey <= '9') return 0x02 + virtualKey - '1';
  if (virtualKey == '0') return 0x0B;
  if (virtualKey >= VK_F1 && virtualKey <= VK_F1 + 9) return 0x3B + virtualKey - VK_F1;
  for (int row = 0; row < 3; row++)
    for (int column = 0; letterRows[row][column] != 0; column++)
      if (letterRows[row][column] == virtualKey) return letterRowStarts[row] + column;
  for (const KeyScanCode& key : specialKeys)
    if (key.key == virtualKey) {
      if (extended) *extended = key.extended;
      return key.code;
    }
  return 0;
}

bool KeyForCharacter(char character, int* virtualKey, bool* shift) {
  *shift = false;
  if (character >= 'a' && character <= 'z') {
    *virtualKey = character - 'a' + 'A';
    return true;
  }
  if ((character >= 'A' && character <= 'Z') || (character >= '0' && character <= '9')) {
    *virtualKey = character;
    *shift = character >= 'A' && character <= 'Z';
    return true;
  }
  for (int digit = 0; digit < 10; digit++)
    if (shiftedDigits[digit] == character) {
      *virtualKey = '0' + digit;
      *shift = true;
      return true;
    }
  switch (character) {
    case ' ':
      *virtualKey = VK_SPACE;
      return true;
    case '\r':
    case '\n':
      *virtualKey = VK_RETURN;
      return true;
    case '\t':
      *virtualKey = VK_TAB;
      return true;
    case '\b':
      *virtualKey = VK_BACK;
      return true;
  }
  // The main keyboard's punctuation keys come first in the table, before the keypad's.
  for (const KeyCharacters& characters : punctuationKeys) {
    if (characters.key >= 0x60 && characters.key <= 0x6F) continue;
    if (characters.plain == character || characters.shifted == character) {
      *virtualKey = characters.key;
      *shift = characters.plain != character;
      return true;
    }
  }
  return false;
}

}  // namespace kwplatform

extern "C" BOOL WINAPI TranslateMessage(const MSG* message) {
  if (message == nullptr) return FALSE;
  switch (message->message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: {
      // The character message carries the key message's lParam (repeat count, scan code...).
      // It comes before any key input still waiting, so before the key's own release.
      int character = CharacterOf(message->wParam);
      std::shared_ptr<kwplatform::Window> window = kwplatform::LookUpWindow(message->hwnd);
      std::shared_ptr<kwplatform::MessageQueue> queue =
          window ? window->queue : kwplatform::MessageQueue::ForCurrentThread();
      if (character != 0 && (window || message->hwnd == nullptr))
        queue->PostAheadOfInput(message->hwnd, message->message == WM_KEYDOWN ? WM_CHAR : WM_SYSCHAR,
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

extern "C" {

// The high bit tells a key is down, the low bit that it is toggled (Caps Lock).
SHORT WINAPI GetKeyState(int virtualKey) {
  if (virtualKey < 0 || virtualKey >= 256) return 0;
  unsigned state = (kwplatform::IsKeyDown(virtualKey) ? 0x8000u : 0u) | (keysToggled[virtualKey].load() ? 1u : 0u);
  return static_cast<SHORT>(state);
}

SHORT WINAPI GetAsyncKeyState(int virtualKey) {
  return static_cast<SHORT>(kwplatform::IsKeyDown(virtualKey) ? 0x8000u : 0u);
}

}  // extern "C"
