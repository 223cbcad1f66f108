#include "settings/scan_int.h"

static bool is_scan_blank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

bool scan_int(const char* text, int32_t* value, const char** end) {
    const char* p = text;
    while (is_scan_blank(*p))
        ++p;
    bool negative = false;
    if (*p == '+' || *p == '-') negative = *p++ == '-';
    if (*p < '0' || *p > '9') return false;
    // Accumulate the magnitude in 64 bits and stop growing it once it is past
    // the int32_t range; the remaining digits are still consumed.
    const int64_t limit = int64_t(INT32_MAX) + 1;
    int64_t magnitude = 0;
    for (; *p >= '0' && *p <= '9'; ++p) {
        if (magnitude <= limit) magnitude = magnitude * 10 + (*p - '0');
    }
    if (negative) {
        *value = magnitude >= limit ? INT32_MIN : int32_t(-magnitude);
    } else {
        *value = magnitude > INT32_MAX ? INT32_MAX : int32_t(magnitude);
    }
    *end = p;
    return true;
}

int scan_int_pair(const char* text, int32_t* first, int32_t* second) {
    const char* p = text;
    if (!scan_int(p, first, &p)) return 0;
    if (*p != ',') return 1;
    return scan_int(p + 1, second, &p) ? 2 : 1;
}
