/* Imports a routine that its import library promises and the loader cannot find: linked once
   against kernel32 (which lacks the routine) and once against a library that does not exist. */
int __stdcall NoSuchRoutine(void);

int __stdcall CallMissing(void) { return NoSuchRoutine(); }

int __stdcall DllMain(void* instance, unsigned long reason, void* reserved) {
  (void)instance;
  (void)reason;
  (void)reserved;
  return 1;
}
