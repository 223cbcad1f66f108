// A reader of INI files of our own, for builds without the system's profile
// functions. It gives the answers the system's reader gives, as observed under
// Wine with code page 932, for the files this program meets:
//   - lines end at CR or LF; blanks (space, tab, VT, FF, Ctrl-Z; not the
//     ideographic space 0x81 0x40) around lines, names and values are ignored;
//   - "[name]" opens a section (name up to the first ']', without blanks);
//   - "name=value"; a line without '=' is a key with no value (the default
//     is returned for it); ';' has no special meaning;
//   - section and key names match ignoring ASCII case; only the first
//     section of a name and the first key of a name in it count;
//   - a value enclosed in matching single or double quotes loses them;
//   - a NUL byte ends the name or value it is in;
//   - text is code page 932: a lead byte takes the byte after it, even a line
//     break; a lead byte with an invalid second byte (or none) reads as the
//     middle dot 0x81 0x45; values are cut on whole characters;
//   - a UTF-8 byte order mark at the start is skipped.
// Double-byte codes that the system's code page conversion itself rewrites
// (unassigned codes, the duplicate NEC/IBM extensions) pass through unchanged
// here; the rest of a file after a UTF-8 mark is taken as code page 932 bytes,
// which agrees for ASCII text only; UTF-16 files are not recognised. A file
// that is missing is read as empty; one that cannot be opened or read (a
// folder, a missing folder) gives the default as passed, quotes included.
#pragma once
#include <cstdint>

// As GetPrivateProfileStringA with a section and a key: copies the value, or
// def when the key is absent or has no value, into buf, cut to size - 1 bytes
// on a character boundary and terminated. Returns the length copied, or
// size - 1 when the value had to be cut.
uint32_t portable_ini_read_string(const char* section, const char* key, const char* def, char* buf,
                                  uint32_t size, const char* path);
// As GetPrivateProfileIntA: def when the key is absent or its value empty;
// otherwise the number at the start of the value (its first 29 characters):
// blanks, an optional sign, then decimal digits, or "0x" hex, "0o" octal,
// "0b" binary; no digits give 0; overflow wraps modulo 2^32.
int32_t portable_ini_read_int(const char* section, const char* key, int32_t def, const char* path);
