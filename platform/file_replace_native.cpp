#include "platform/file_replace.h"

#include <cerrno>
#include <cstdio>
#include <unistd.h>

bool flush_file_to_disk(FILE* file) {
    return fsync(fileno(file)) == 0;
}

// A settings file we may not write is left as it is, as writing it in place
// would have failed; otherwise rename() replaces it atomically.
bool move_file_over(const char* from, const char* to) {
    if (access(to, W_OK) != 0 && errno != ENOENT) return false;
    return std::rename(from, to) == 0;
}
