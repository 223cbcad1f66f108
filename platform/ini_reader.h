// Reading the settings file. The Windows build calls the system's profile
// functions; the native build uses portable_ini, which gives the same results.
#pragma once
#include <cstdint>

// As GetPrivateProfileStringA: copies the value (or def when the key is
// absent) into buf, cut to size - 1 bytes and terminated; returns the length.
uint32_t ini_read_string(const char* section, const char* key, const char* def, char* buf,
                         uint32_t size, const char* path);
// As GetPrivateProfileIntA: def when the key is absent, else the integer at
// the start of the value.
int32_t ini_read_int(const char* section, const char* key, int32_t def, const char* path);
