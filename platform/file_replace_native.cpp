#include "platform/file_replace.h"

#include <cstdio>
#include <unistd.h>

bool flush_file_to_disk(FILE* file) {
    return fsync(fileno(file)) == 0;
}

// rename() replaces an existing file atomically on POSIX systems.
bool move_file_over(const char* from, const char* to) {
    return std::rename(from, to) == 0;
}
