#include "platform/file_replace.h"

#include <io.h>
#include <windows.h>

bool flush_file_to_disk(FILE* file) {
    return _commit(_fileno(file)) == 0;
}

// MOVEFILE_WRITE_THROUGH returns only once the rename itself is on the disk.
bool move_file_over(const char* from, const char* to) {
    return MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}
