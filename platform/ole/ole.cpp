// OLE initialisation: counted per thread, as Win32 counts apartment initialisations. The first
// call on a thread answers S_OK and later ones S_FALSE; nothing else of OLE exists here.
#include "platform/win32.h"

namespace {
thread_local unsigned initialisations = 0;
}

extern "C" {

HRESULT WINAPI OleInitialize(LPVOID) { return initialisations++ == 0 ? S_OK : S_FALSE; }

void WINAPI OleUninitialize(void) {
  if (initialisations > 0) initialisations--;
}

}  // extern "C"
