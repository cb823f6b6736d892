// The string functions of the language, called by application code (C calling convention,
// bound by name). Arguments are borrowed; a returned string gives the caller one reference.
// Positions and counts are 1-based characters: bytes in the plain forms, and in the DBCS forms
// a lead byte of the ANSI code page with its trail byte counts as one.
#pragma once

#include <cstdint>

#include "core/runtime_layout.h"

extern "C" {
RuntimeString* StringLeft(RuntimeString* s, int32_t n);
RuntimeString* StringRight(RuntimeString* s, int32_t n);
RuntimeString* StringMid2(RuntimeString* s, int32_t start);
RuntimeString* StringMid3(RuntimeString* s, int32_t start, int32_t count);
int32_t StringLen(RuntimeString* s);
int32_t StringAsc(RuntimeString* s);
RuntimeString* StringChr(int32_t code);

RuntimeString* StringDBCSLeft(RuntimeString* s, int32_t n);
RuntimeString* StringDBCSRight(RuntimeString* s, int32_t n);
RuntimeString* StringDBCSMid2(RuntimeString* s, int32_t start);
RuntimeString* StringDBCSMid3(RuntimeString* s, int32_t start, int32_t count);
int32_t StringDBCSLen(RuntimeString* s);
int32_t StringDBCSAsc(RuntimeString* s);
RuntimeString* StringDBCSChr(int32_t code);

RuntimeString* StringLCase(RuntimeString* s);
RuntimeString* StringUCase(RuntimeString* s);
RuntimeString* StringTitleCase(RuntimeString* s);

int32_t StringInStr(int32_t start, RuntimeString* source, RuntimeString* find);
int32_t StringDBCSInStr(int32_t start, RuntimeString* source, RuntimeString* find);
RuntimeString* StringReplace(RuntimeString* source, RuntimeString* find, RuntimeString* replacement);
RuntimeString* StringReplaceAll(RuntimeString* source, RuntimeString* find, RuntimeString* replacement);
int32_t StringCountFields(RuntimeString* source, RuntimeString* delimiter);
RuntimeString* StringNthField(RuntimeString* source, RuntimeString* delimiter, int32_t n);

RuntimeString* runTrim(RuntimeString* s);
RuntimeString* runLTrim(RuntimeString* s);
RuntimeString* runRTrim(RuntimeString* s);

int32_t StringStrCompare(RuntimeString* a, RuntimeString* b, int32_t mode);

// Raw forms for external routines, valid while the caller holds the string.
const char* StringToCString(RuntimeString* s);
const unsigned char* StringToPString(RuntimeString* s);
uint32_t StringToOSType(RuntimeString* s);
// The same views under the names plug-ins use.
const char* StringGetCString(RuntimeString* s);
const unsigned char* StringGetPString(RuntimeString* s);
}
