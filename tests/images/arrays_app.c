/* Arrays, variants and collections as compiled code uses them, and an out-of-bounds read and a
 * type mismatch caught by the application's handler (arrays_app.s). */
#include "image_services.h"

void* CatchIntRead(void* array, int32_t index); /* arrays_app.s */
void* CatchVariantToInt(void* variant);

void* RuntimeCreateArray(void);
void RuntimeArrayCreateAddIndex(void* array, int32_t low, int32_t high);
int32_t RuntimeUBound(void* array);
int32_t RuntimeDirectReadIntArray(void* array, int32_t index);
void RuntimeDirectWriteIntArray(void* array, int32_t index, int32_t value);
double RuntimeDirectReadDoubleArray(void* array, int32_t index);
RuntimeString* RuntimeDirectReadStringArray(void* array, int32_t index);
void RuntimeDirectWriteStringArray(void* array, int32_t index, RuntimeString* value);
void RuntimeIntArrayAppend(void* array, int32_t value);
void RuntimeIntArrayInsert(void* array, int32_t index, int32_t value);
void RuntimeIntArrayRemove(void* array, int32_t index);
void RuntimeIntArraySort(void* array);
void RuntimeDoubleArrayAppend(void* array, double value);
void RuntimeDoubleArraySort(void* array);
void RuntimeStringArrayAppend(void* array, RuntimeString* value);
void RuntimeStringArraySort(void* array);
void RuntimeRedimStringArrayLevel(void* array, int32_t level, int32_t bound);
void RuntimeArrayStartWriteAccess(void* array, int32_t index);
void RuntimeArrayStartReadAccess(void* array, int32_t index);
void RuntimeWriteIntArray(void* array, int32_t index, int32_t value);
int32_t RuntimeReadIntArray(void* array, int32_t index);
void RuntimeDisposeIntArray(void* array);
void RuntimeDisposeStringArray(void* array);
void* RuntimeCreateFastBooleanArray(int32_t bound);
int32_t RuntimeFastArrayUBound(void* array);
_Bool RuntimeFastReadBoolArray(void* array, int32_t index);
void RuntimeFastWriteBoolArray(void* array, int32_t index, _Bool value);
void RuntimeFastBooleanArrayInsert(void* array, int32_t index, _Bool value);
void RuntimeDisposeFastBooleanArray(void* array);
void* doubleToVariant(double value);
void* stringToVariant(RuntimeString* value);
int32_t VarType(void* variant);
int32_t variantToInt(void* variant);
RuntimeString* variantToString(void* variant);
int32_t collectionCount(void* collection);
void* collectionItem(void* collection, RuntimeString* key);
void* collectionIdxItem(void* collection, int32_t index);
void collectionAdd(void* collection, void* value, RuntimeString* key);
RuntimeString* RuntimeAddString(RuntimeString* a, RuntimeString* b);
void RuntimeUnlockString(RuntimeString* s);

KW_STRING(runtime_exception_name, "RuntimeException");
KW_STRING(collection_name, "Collection");
KW_STRING(pear, "pear");
KW_STRING(apple, "apple");
KW_STRING(fig, "fig");
KW_STRING(banana, "banana");
KW_STRING(key_lower, "total");
KW_STRING(key_upper, "TOTAL");
KW_STRING(twelve, "12");
KW_STRING(caught, "caught: ");
KW_STRING(usable, "the array is still usable");
KW_STRING(done, "done");

KW_CLASS_RECORD(runtime_exception_class, KW_EXISTING_CLASS(&runtime_exception_name));
KW_CLASS_RECORD(collection_class, KW_EXISTING_CLASS(&collection_name));
KW_PROJECT(KW_LIST(runtime_exception_class, collection_class), KW_LIST());

static RuntimeString* ClassName(void* object) { return ((RuntimeString**)(((char**)object)[1]))[5]; }

static void TraceOwned(RuntimeString* line) {
  lineTrace(line);
  RuntimeUnlockString(line);
}

static void TraceCaught(void* exception) {
  if (exception == 0) return;
  TraceOwned(RuntimeAddString(&caught, ClassName(exception)));
  RuntimeUnlockObject(exception);
}

void kw_main(void) {
  RuntimeInit(kw_project);

  /* Integers: write, append, insert, remove, sort. */
  void* numbers = RuntimeCreateArray();
  RuntimeArrayCreateAddIndex(numbers, 0, 4);
  static const int32_t written[] = {50, 10, 40, 20, 30};
  for (int32_t index = 0; index < 5; index++) RuntimeDirectWriteIntArray(numbers, index, written[index]);
  RuntimeIntArrayAppend(numbers, 5);
  RuntimeIntArrayInsert(numbers, 0, 99);
  RuntimeIntArrayRemove(numbers, 1);
  RuntimeIntArraySort(numbers);
  TraceNumber("ubound ", RuntimeUBound(numbers));
  for (int32_t index = 0; index <= RuntimeUBound(numbers); index++) TraceNumber("int ", RuntimeDirectReadIntArray(numbers, index));

  /* An out-of-bounds read caught by the application's handler. */
  TraceCaught(CatchIntRead(numbers, 10));
  if (CatchIntRead(numbers, 5) == 0) lineTrace(&usable);
  RuntimeDisposeIntArray(numbers);

  /* Strings: sorted, then cut by a redim. */
  void* words = RuntimeCreateArray();
  RuntimeArrayCreateAddIndex(words, 0, 2);
  RuntimeDirectWriteStringArray(words, 0, &pear);
  RuntimeDirectWriteStringArray(words, 1, &apple);
  RuntimeDirectWriteStringArray(words, 2, &fig);
  RuntimeStringArrayAppend(words, &banana);
  RuntimeStringArraySort(words);
  RuntimeRedimStringArrayLevel(words, 0, 2);
  for (int32_t index = 0; index <= RuntimeUBound(words); index++) TraceOwned(RuntimeDirectReadStringArray(words, index));
  RuntimeDisposeStringArray(words);

  /* Doubles. */
  void* reals = RuntimeCreateArray();
  RuntimeArrayCreateAddIndex(reals, 0, -1);
  RuntimeDoubleArrayAppend(reals, 2.5);
  RuntimeDoubleArrayAppend(reals, -0.25);
  RuntimeDoubleArraySort(reals);
  TraceOwned(StringStr(RuntimeDirectReadDoubleArray(reals, 0)));
  TraceOwned(StringStr(RuntimeDirectReadDoubleArray(reals, 1)));
  RuntimeDisposeIntArray(reals);

  /* Two dimensions. */
  void* grid = RuntimeCreateArray();
  RuntimeArrayCreateAddIndex(grid, 0, 2);
  RuntimeArrayCreateAddIndex(grid, 0, 3);
  RuntimeArrayStartWriteAccess(grid, 1);
  RuntimeWriteIntArray(grid, 2, 12);
  RuntimeArrayStartReadAccess(grid, 1);
  TraceNumber("grid(1, 2) ", RuntimeReadIntArray(grid, 2));
  RuntimeArrayStartReadAccess(grid, 0);
  TraceNumber("grid(0, 3) ", RuntimeReadIntArray(grid, 3));
  RuntimeDisposeIntArray(grid);

  /* Fast booleans. */
  void* flags = RuntimeCreateFastBooleanArray(3);
  RuntimeFastWriteBoolArray(flags, 2, 1);
  RuntimeFastBooleanArrayInsert(flags, 4, 1);
  TraceNumber("flags ubound ", RuntimeFastArrayUBound(flags));
  TraceNumber("flags(2) ", RuntimeFastReadBoolArray(flags, 2));
  TraceNumber("flags(3) ", RuntimeFastReadBoolArray(flags, 3));
  RuntimeDisposeFastBooleanArray(flags);

  /* Variants and a collection. */
  void* collection = RuntimeNewObject(1);
  void* real = doubleToVariant(2.9);
  void* text = stringToVariant(&twelve);
  collectionAdd(collection, real, &key_lower);
  collectionAdd(collection, text, 0);
  RuntimeUnlockObject(real);
  RuntimeUnlockObject(text);
  TraceNumber("count ", collectionCount(collection));
  void* found = collectionItem(collection, &key_upper);
  TraceNumber("vartype ", VarType(found));
  TraceNumber("as integer ", variantToInt(found));
  TraceOwned(variantToString(found));
  RuntimeUnlockObject(found);
  void* second = collectionIdxItem(collection, 2);
  TraceCaught(CatchVariantToInt(second));
  RuntimeUnlockObject(second);
  RuntimeUnlockObject(collection);

  lineTrace(&done);
  RuntimeRun();
}
