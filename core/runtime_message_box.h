// The engine's modal message box: caption "KW App", an OK button.
#pragma once

#include "core/runtime_layout.h"
#include "platform/win32.h"

// Shows the text and returns when it is dismissed.
void ShowRuntimeMessage(const char* text);

// Chooses the owner window of message boxes (the window system sets it; none before).
using MessageBoxOwnerProvider = HWND (*)();
void SetMessageBoxOwnerProvider(MessageBoxOwnerProvider provider);

extern "C" void RuntimeMsgBox(RuntimeString* text);
