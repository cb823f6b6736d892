// The keyboard state held by the layer: which virtual keys (and mouse buttons) are down and
// which keys are toggled. Input takes effect on it when the message loop reaches it.
#pragma once

namespace kwplatform {

bool IsKeyDown(int virtualKey);
void SetKeyDown(int virtualKey, bool down);  // a press also flips the key's toggle state

// The set-1 scan code of a key of a US keyboard (0 when it has none), and whether it is one of
// the extended keys.
int ScanCodeOf(int virtualKey, bool* extended);

// The key, and whether Shift goes with it, that types a character on a US keyboard; false for
// a character no key types.
bool KeyForCharacter(char character, int* virtualKey, bool* shift);

}  // namespace kwplatform
