#include "platform/ini_reader.h"
#include <windows.h>

uint32_t ini_read_string(const char* section, const char* key, const char* def, char* buf,
                         uint32_t size, const char* path) {
    return GetPrivateProfileStringA(section, key, def, buf, size, path);
}

int32_t ini_read_int(const char* section, const char* key, int32_t def, const char* path) {
    return int32_t(GetPrivateProfileIntA(section, key, def, path));
}
