// Character-wise stepping through ANSI byte strings.
#include "platform/ansi_text.h"

size_t whole_char_length(const char* text, size_t length) {
    size_t whole = 0;
    for (size_t i = 0; i < length;) {
        size_t width = ansi_lead_byte(static_cast<unsigned char>(text[i])) ? 2 : 1;
        if (i + width > length) break;
        i += width;
        whole = i;
    }
    return whole;
}

const char* last_ansi_char(const char* text, char wanted) {
    const char* found = nullptr;
    for (const char* p = text; *p;) {
        if (*p == wanted) found = p;
        // A lead byte takes the next byte with it, unless the string ends.
        p += (ansi_lead_byte(static_cast<unsigned char>(*p)) && p[1]) ? 2 : 1;
    }
    return found;
}
