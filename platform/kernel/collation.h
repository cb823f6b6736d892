// Locale-aware string ordering of the ANSI code page, modelled on Windows' default ("word sort")
// collation for an English locale.
#pragma once

#include "platform/win32.h"

namespace kwplatform {

// Compares two ANSI strings of explicit byte lengths (>= 0) and returns -1, 0 or 1. flags takes
// NORM_IGNORECASE, NORM_IGNORENONSPACE, NORM_IGNORESYMBOLS and SORT_STRINGSORT; the width and
// kana flags have nothing to act on in this code page and are ignored.
//
// Each character yields collation elements with three weights: primary (base letter, digit or
// mark), secondary (diacritic) and tertiary (lower before upper, then compatibility forms such as
// superscripts). Strings are compared on all primaries first (a prefix sorts first), then all
// secondaries, then all tertiaries; in word sort the hyphen and apostrophe carry no weight there
// and are compared last, by position then kind, so "coop" < "co-op" < "coopa".
int CompareCollated(const char* a, int lengthA, const char* b, int lengthB, DWORD flags);

// The same comparison without the shortcut CompareCollated takes for strings of ASCII letters
// and digits; the two must always agree.
int CompareCollatedByWeights(const char* a, int lengthA, const char* b, int lengthB, DWORD flags);

}  // namespace kwplatform
