/* hello: a small application that starts, computes a few things with engine services, writes
 * them to trace.log with lineTrace, and ends (it opens no window, so the main loop ends after
 * its first turn). The application class handles the Open event. */
#include "kwapp.h"

/* Engine services this application calls (C calling convention; strings and objects returned
 * belong to the caller). */
void lineTrace(RuntimeString* text);
RuntimeString* StringStr(double value);
RuntimeString* StringFormat(double value, RuntimeString* pattern);
RuntimeString* StringUCase(RuntimeString* text);
RuntimeString* StringNthField(RuntimeString* text, RuntimeString* separator, int32_t field);
int32_t StringCountFields(RuntimeString* text, RuntimeString* separator);
RuntimeString* RuntimeHex(int32_t value);
double RuntimeSqrt(double value);
double RuntimePow(double base, double exponent);

KW_STRING(application_name, "Application");
KW_STRING(hello_name, "HelloApp");
KW_STRING(open_event, "Open");
KW_STRING(greeting, "Hello from a compiled application");
KW_STRING(fields, "red,green,blue");
KW_STRING(comma, ",");
KW_STRING(money, "#,##0.00");
KW_STRING(label_sqrt, "Sqrt(2) = ");
KW_STRING(label_power, "2 ^ 20 = ");
KW_STRING(label_hex, "Hex(48879) = ");
KW_STRING(label_fields, "Fields: ");
KW_STRING(label_second, "Second field, upper case: ");
KW_STRING(label_money, "Formatted: ");
KW_STRING(label_compare, "Compare(apple, BANANA) = ");
KW_STRING(apple, "apple");
KW_STRING(banana, "BANANA");

/* Writes label + value and releases the value. */
static void Line(RuntimeString* label, RuntimeString* value) {
  RuntimeString* text = RuntimeAddString(label, value);
  lineTrace(text);
  RuntimeUnlockString(text);
  RuntimeUnlockString(value);
}

static void HelloOpen(void* self) {
  (void)self;
  lineTrace(&greeting);
  Line(&label_sqrt, StringStr(RuntimeSqrt(2.0)));
  Line(&label_power, StringStr(RuntimePow(2.0, 20.0)));
  Line(&label_hex, RuntimeHex(48879));
  Line(&label_fields, StringStr(StringCountFields(&fields, &comma)));
  RuntimeString* second = StringNthField(&fields, &comma, 2);
  Line(&label_second, StringUCase(second));
  RuntimeUnlockString(second);
  Line(&label_money, StringFormat(1234567.891, &money));
  Line(&label_compare, StringStr(RuntimeStringCompare(&apple, &banana)));
}

/* Class 0 names the engine's Application class; class 1 is the application's own subclass,
 * which handles Open. */
KW_CLASS_RECORD(application_class, KW_EXISTING_CLASS(&application_name));
KW_CLASS_RECORD(hello_class, KW_DEFINED_CLASS(28, &hello_name, 0), KW_NO_CONSTRUCTOR, KW_N(0), KW_LIST(),
                KW_PAIRS(), KW_TRIPLES(&open_event, HelloOpen, KW_N(0)), KW_PAIRS(), KW_LIST());

KW_PROJECT(KW_LIST(application_class, hello_class), KW_LIST());

void kw_main(void) {
  RuntimeInit(kw_project);
  RuntimeRun();
}
