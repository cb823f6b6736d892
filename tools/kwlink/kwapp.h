/* kwapp.h: what C application code needs to be linked into an image by kwlink.
 *
 * Compile with: gcc -m32 -c -fno-pic -ffreestanding -fno-asynchronous-unwind-tables
 *               -fno-stack-protector -fno-optimize-sibling-calls -malign-data=abi
 * (calls to the engine stay near calls, not jumps; no section is aligned above 16 bytes).
 *
 * Conventions kwlink relies on:
 * - The entry routine is `void kw_main(void)`; it calls RuntimeInit(kw_project), then
 *   RuntimeRun(). The project table is the global `kw_project` (KW_PROJECT); without one,
 *   data word 1 is 0.
 * - A call of an undefined function is linked by name at load time: a plain name is an engine
 *   service; the symbol KW<letter>$rest is bound as "!<letter>rest" with every "$" turned into
 *   "!": KWX$library$routine is a library routine (KW_LIBRARY_ROUTINE), KWM$Class$Method,
 *   KWW$..., KWG$Class$Property and KWS$Class$Property are plug-in bindings (declare them with
 *   an __asm__ label as KW_LIBRARY_ROUTINE does). Undefined functions may only be called, never
 *   have their address taken.
 * - Code and data are loaded apart: code may hold data addresses, but not code addresses (use
 *   calls, or keep routine addresses in data, as the records below do).
 *
 * The tables are arrays of 32-bit words (pointers on i386); integer words are written KW_N(n).
 */
#ifndef KWAPP_H
#define KWAPP_H

#include <stddef.h>
#include <stdint.h>

/* A string of the engine. Constants have count 1, which never drops to 0, so the engine never
 * frees them; the empty string is the null pointer. */
typedef struct RuntimeString {
  int32_t count;
  const char* buffer; /* min(length, 255), the text, 0 */
  int32_t bufferSize;
  int32_t length;
} RuntimeString;

/* Defines `static RuntimeString name` holding literal (a string literal, not empty): pass &name. */
#define KW_STRING(name, literal)                                                                          \
  _Static_assert(sizeof(literal) > 1, "the empty string is NULL");                                        \
  static const struct {                                                                                   \
    unsigned char prefix;                                                                                 \
    char bytes[sizeof(literal)];                                                                          \
  } kw_buffer_##name = {(unsigned char)(sizeof(literal) - 1 > 255 ? 255 : sizeof(literal) - 1), literal}; \
  static RuntimeString name = {1, (const char*)&kw_buffer_##name, sizeof(literal) - 1, sizeof(literal) - 1}

/* Table words. */
#define KW_N(n) ((const void*)(uintptr_t)(n))
#define KW_COUNT(...) (sizeof((const void*[]){__VA_ARGS__}) / sizeof(const void*))
/* A count, then the words: KW_LIST() is just 0. KW_PAIRS and KW_TRIPLES count groups. */
#define KW_LIST(...) KW_N(KW_COUNT(__VA_ARGS__)) __VA_OPT__(, __VA_ARGS__)
#define KW_PAIRS(...) KW_N(KW_COUNT(__VA_ARGS__) / 2) __VA_OPT__(, __VA_ARGS__)
#define KW_TRIPLES(...) KW_N(KW_COUNT(__VA_ARGS__) / 3) __VA_OPT__(, __VA_ARGS__)

/* The project table: KW_PROJECT(KW_LIST(class records...), KW_LIST(project items...)). */
#define KW_PROJECT(classes, items) const void* const kw_project[] = {classes, items}

/* A class definition record, a list of words:
 *   KW_CLASS_RECORD(window1,
 *       KW_DEFINED_CLASS(instance size, &name or NULL, superclass index or -1),
 *       KW_NO_CONSTRUCTOR,                 (or KW_CONSTRUCTOR(constructor, destructor))
 *       KW_N(0),                           is an interface
 *       KW_LIST(interface indices as KW_N(i)...),
 *       KW_PAIRS(&method name, entry...),  (one word per method, KW_LIST, for an interface)
 *       KW_TRIPLES(&event name, entry, KW_N(hook)...),
 *       KW_PAIRS(&menu item name, entry...),
 *       KW_LIST(dispatch entries...));
 * or, for a class of the engine: KW_CLASS_RECORD(button, KW_EXISTING_CLASS(&name)). */
#define KW_CLASS_RECORD(name, ...) static const void* const name[] = {__VA_ARGS__}
#define KW_EXISTING_CLASS(name) KW_N(1), (name)
#define KW_DEFINED_CLASS(size, name, superclass) KW_N(0), KW_N(size), (name), KW_N(superclass)
#define KW_NO_CONSTRUCTOR KW_N(0)
#define KW_CONSTRUCTOR(constructor, destructor) KW_N(1), (constructor), (destructor)

/* Declares a routine of a dynamic-link library, called with the stdcall convention:
 *   KW_LIBRARY_ROUTINE(int, MessageBoxA, "user32", "MessageBoxA",
 *                      (void* window, const char* text, const char* caption, unsigned type)); */
#define KW_LIBRARY_ROUTINE(result, name, library, routine, parameters) \
  result __attribute__((stdcall)) name parameters __asm__("KWX$" library "$" routine)

/* Core services (cdecl). Results are owned by the caller. */
void RuntimeInit(const void* const* project);
void RuntimeRun(void);
void RuntimeLockString(RuntimeString* string);
void RuntimeUnlockString(RuntimeString* string);
RuntimeString* RuntimeAddString(RuntimeString* a, RuntimeString* b);
int32_t RuntimeStringCompare(RuntimeString* a, RuntimeString* b);

#endif
