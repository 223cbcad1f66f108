// Byte strings in the ANSI code page (932 on the systems we target), where a
// double-byte character's second byte may be any of 0x40..0xFC: '\\' (0x5C)
// and '|' among them, as in ソ (83 5C) and 表 (95 5C). Searching or cutting
// such text by bytes splits characters; these step through whole characters.
#pragma once
#include <cstddef>

// Bytes for a path of up to MAX_PATH (260) characters with its terminator:
// the limit counts characters, and in a double-byte code page each may take
// two bytes, so a 260-byte buffer is full at about 130 Japanese characters.
constexpr size_t kAnsiPathBytes = 2 * 260;

// True when byte starts a double-byte character in the ANSI code page. The
// Windows build asks the system; the native build knows code page 932.
bool ansi_lead_byte(unsigned char byte);

// The longest length <= length of text (which has at least length bytes)
// that ends on a whole character: a lead byte left without its second byte
// at the end is dropped.
size_t whole_char_length(const char* text, size_t length);

// The last single-byte character wanted in text, found character by
// character (a second byte equal to wanted is not it); nullptr when none.
const char* last_ansi_char(const char* text, char wanted);
