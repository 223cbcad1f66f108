// Without the system's profile functions the settings are read by our own
// reader, which gives the same answers.
#include "platform/ini_reader.h"
#include "platform/portable_ini.h"

uint32_t ini_read_string(const char* section, const char* key, const char* def, char* buf,
                         uint32_t size, const char* path) {
    return portable_ini_read_string(section, key, def, buf, size, path);
}

int32_t ini_read_int(const char* section, const char* key, int32_t def, const char* path) {
    return portable_ini_read_int(section, key, def, path);
}
