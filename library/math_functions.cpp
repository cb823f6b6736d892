// Mathematics, integer conversions, bit operations, the random generator and the clocks.
#include <cmath>

#include "library/number_functions.h"
#include "platform/win32.h"

namespace {

int32_t randomSeed;  // the process's generator; 0 until the first rnd

}  // namespace

// The multiplicative generator with multiplier 16807 and modulus 2^31 - 1, computed in 32 bits
// by Schrage's method. The split is at 12773, not at the textbook 127773, so the numbers are
// not Park and Miller's: the engine keeps them because applications see this exact sequence.
double NextRandom(int32_t* seed) {
  constexpr int32_t kModulus = 2147483647;
  if (*seed == 0) {
    *seed = static_cast<int32_t>(GetTickCount() & 0x7FFFFFFFu);
    if (*seed == 0) *seed = 1;
  }
  int32_t high = *seed / 12773;
  int32_t low = *seed % 12773;
  int32_t next = 16807 * low - 2836 * high;
  *seed = next > 0 ? next : next + kModulus;
  return (*seed & 0xFFFFF) / 1048576.0;
}

extern "C" {

// Truncation toward zero; outside the 32-bit range (and for NaN) the processor's
// integer-indefinite value, which the conversion instruction gives there.
int32_t FPToInt(double x) {
  if (!(x > -2147483649.0 && x < 2147483648.0)) return INT32_MIN;
  return static_cast<int32_t>(x);
}

double IntToFP(int32_t n) { return n; }

int32_t BitwiseAnd(int32_t a, int32_t b) { return a & b; }
int32_t BitwiseOr(int32_t a, int32_t b) { return a | b; }
int32_t BitwiseXor(int32_t a, int32_t b) { return a ^ b; }

double RuntimeACos(double x) {
  if (x < -1 || x > 1) return NAN;
  return 2 * std::atan(std::sqrt((1 - x) / (1 + x)));  // x = -1: atan of +infinity, so pi
}

double RuntimeASin(double x) { return std::asin(x); }
double RuntimeATan(double x) { return std::atan(x); }
double RuntimeATan2(double y, double x) { return std::atan2(y, x); }
double RuntimeCos(double x) { return std::cos(x); }
double RuntimeExp(double x) { return std::exp(x); }
double RuntimeLog(double x) { return std::log(x); }
double RuntimePow(double x, double y) { return std::pow(x, y); }
double RuntimeSin(double x) { return std::sin(x); }
double RuntimeSqrt(double x) { return std::sqrt(x); }
double RuntimeTan(double x) { return std::tan(x); }
double RuntimeCeil(double x) { return std::ceil(x); }
double RuntimeFloor(double x) { return std::floor(x); }
double RuntimeRound(double x) { return std::floor(x + 0.5); }  // halves go up: -2.5 gives -2
double RuntimeAbs(double x) { return x < 0 ? -x : x; }
double RuntimeMax(double a, double b) { return a > b ? a : b; }
double RuntimeMin(double a, double b) { return a < b ? a : b; }

double rnd() { return NextRandom(&randomSeed); }

int32_t RuntimeTicks() { return static_cast<int32_t>(GetTickCount() / 16u); }

double RuntimeMicroseconds() { return GetTickCount() * 1000.0; }

}  // extern "C"
