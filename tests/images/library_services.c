/* Library services as compiled code calls them: doubles come back on the floating-point stack,
 * strings come back owned by the caller, who releases them. */
#include "image_services.h"

double StringVal(RuntimeString* text);
double RuntimeFloor(double value);
RuntimeString* StringLeft(RuntimeString* text, int32_t count);
RuntimeString* StringMid3(RuntimeString* text, int32_t start, int32_t count);
int32_t StringInStr(int32_t start, RuntimeString* text, RuntimeString* find);
RuntimeString* StringReplaceAll(RuntimeString* text, RuntimeString* find, RuntimeString* replacement);

KW_STRING(number, "-12.75e1");
KW_STRING(sentence, "the cat sat on the mat");
KW_STRING(at, "at");
KW_STRING(og, "og");

static void TraceString(const char* label, RuntimeString* value) {
  TraceNumber(label, value ? value->length : 0);
  if (value) lineTrace(value);
  RuntimeUnlockString(value);
}

KW_PROJECT(KW_LIST(), KW_LIST());

void kw_main(void) {
  RuntimeInit(kw_project);
  double parsed = StringVal(&number);
  TraceNumber("Val times 4: ", (int32_t)(parsed * 4));
  TraceNumber("Floor(Val): ", (int32_t)RuntimeFloor(parsed));
  TraceString("Left 7, length ", StringLeft(&sentence, 7));
  TraceString("Mid 5 3, length ", StringMid3(&sentence, 5, 3));
  TraceNumber("InStr at: ", StringInStr(1, &sentence, &at));
  TraceString("ReplaceAll, length ", StringReplaceAll(&sentence, &at, &og));
  RuntimeRun();
}
