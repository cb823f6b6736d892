/* The DLL that test_library.dll imports from by ordinal. */
int __stdcall HelperTwice(int value) { return 2 * value; }

int __stdcall DllMain(void* instance, unsigned long reason, void* reserved) {
  (void)instance;
  (void)reason;
  (void)reserved;
  return 1;
}
