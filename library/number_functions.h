// Number services of the language: text conversions, formatting, mathematics, the random
// generator, the clocks and the bit operations (C calling convention, bound by name). Doubles
// are IEEE 64-bit, integers signed 32-bit; a returned string gives the caller one reference.
#pragma once

#include <cstdint>

#include "core/runtime_layout.h"

extern "C" {
RuntimeString* StringStr(double x);
RuntimeString* runCStr(double x);
double StringVal(RuntimeString* s);
double runCDbl(RuntimeString* s);
RuntimeString* StringFormat(double x, RuntimeString* pattern);
RuntimeString* RuntimeHex(int32_t n);
RuntimeString* RuntimeOct(int32_t n);

int32_t FPToInt(double x);
double IntToFP(int32_t n);
int32_t BitwiseAnd(int32_t a, int32_t b);
int32_t BitwiseOr(int32_t a, int32_t b);
int32_t BitwiseXor(int32_t a, int32_t b);

double RuntimeACos(double x);
double RuntimeASin(double x);
double RuntimeATan(double x);
double RuntimeATan2(double y, double x);
double RuntimeCos(double x);
double RuntimeExp(double x);
double RuntimeLog(double x);
double RuntimePow(double x, double y);
double RuntimeSin(double x);
double RuntimeSqrt(double x);
double RuntimeTan(double x);
double RuntimeCeil(double x);
double RuntimeFloor(double x);
double RuntimeRound(double x);
double RuntimeAbs(double x);
double RuntimeMax(double a, double b);
double RuntimeMin(double a, double b);

double rnd();
int32_t RuntimeTicks();
double RuntimeMicroseconds();
}

// The generator behind rnd over a given seed (0 until first use, then seeded from the tick
// count): advances the seed and returns the next number.
double NextRandom(int32_t* seed);
