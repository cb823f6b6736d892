#include "core/runtime_message_box.h"

#include "core/runtime_string.h"

namespace {
MessageBoxOwnerProvider ownerProvider;
}

void SetMessageBoxOwnerProvider(MessageBoxOwnerProvider provider) { ownerProvider = provider; }

void ShowRuntimeMessage(const char* text) {
  MessageBoxA(ownerProvider ? ownerProvider() : nullptr, text, "KW App", MB_OK);
}

extern "C" void RuntimeMsgBox(RuntimeString* text) {
  StringRetain(text);
  ShowRuntimeMessage(StringCText(text));
  StringRelease(text);
}
