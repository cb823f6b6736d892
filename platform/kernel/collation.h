// Locale-aware string ordering of the ANSI code page, modelled on Windows' default ("word sort")
// collation for an English locale.
#pragma once

#include "platform/win32.h"

namespace kwplatform {

// Compares two ANSI strings of explicit byte lengths (>= 0) and returns -1, 0 or 1. flags takes
// NORM_IGNORECASE, NORM_IGNORENONSPACE, NORM_IGNORESYMBOLS, NORM_IGNOREWIDTH and SORT_STRINGSORT;
// the kana flag is accepted and ignored. Under code page 932 a lead byte and its trail byte are
// one character; full-width ASCII sorts with its normal form, wide at the tertiary level, and
// kana and ideographs, which have no table here, sort after the Latin letters in code order.
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
