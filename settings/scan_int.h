// Reading a leading decimal number the way "%d" does, without its undefined
// behaviour on overflow: a hand-edited file may hold any digits at all.
#pragma once
#include <cstdint>

// Skips blanks (space, tab, CR, LF, VT, FF), takes an optional sign and at
// least one decimal digit. On success stores the value (saturated to the
// int32_t range), points *end just past the digits and returns true; otherwise
// returns false and leaves *value and *end untouched.
bool scan_int(const char* text, int32_t* value, const char** end);

// "%d,%d" into a pair: the first number, then the second one only when a comma
// follows the first directly and a number follows the comma. Fields not read
// keep their values. Returns how many fields were assigned (0, 1 or 2).
int scan_int_pair(const char* text, int32_t* first, int32_t* second);
