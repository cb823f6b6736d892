/* A plug-in-like DLL for the loader's tests: calling conventions, data that needs base
   relocations, imports from the system libraries and from another DLL by ordinal, an export by
   ordinal only, forwarders, a TLS callback and an entry point that records its call. */
#include <windows.h>

int __stdcall HelperTwice(int value); /* imported from test_helper.dll by ordinal */

static const char greeting[] = "Hello from the library";
static int numbers[3] = {1, 20, 300};

/* Initialised pointers: the linker leaves base relocations for each. */
const char* Greeting = greeting;
int* NumberPointers[3] = {&numbers[0], &numbers[1], &numbers[2]};

int AttachCount;
HINSTANCE AttachedInstance;
DWORD TlsCallbackReason;

int __stdcall StdcallSum(int a, int b) { return a + b; }
int CdeclSum(int a, int b) { return a + b; }
int __stdcall GreetingLength(void) { return lstrlenA(Greeting); }
int __stdcall SumThroughPointers(void) { return *NumberPointers[0] + *NumberPointers[1] + *NumberPointers[2]; }
int __stdcall ShowGreeting(void) { return MessageBoxA(NULL, Greeting, "test_library", MB_OK); }
int __stdcall OrdinalOnly(void) { return 42; }
int __stdcall CallHelper(int value) { return HelperTwice(value); }

static void __stdcall TlsCallback(PVOID instance, DWORD reason, PVOID reserved) {
  (void)instance;
  (void)reserved;
  TlsCallbackReason = reason;
}

/* The linker points the TLS directory at _tls_used. */
static PIMAGE_TLS_CALLBACK tlsCallbacks[] = {TlsCallback, 0};
static DWORD tlsIndex;
const IMAGE_TLS_DIRECTORY _tls_used = {0, 0, (DWORD)&tlsIndex, (DWORD)tlsCallbacks, 0, 0};

BOOL __stdcall DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
  (void)reserved;
  if (reason == DLL_PROCESS_ATTACH) {
    AttachCount++;
    AttachedInstance = instance;
  }
  return TRUE;
}
