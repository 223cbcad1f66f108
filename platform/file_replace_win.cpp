#include "platform/file_replace.h"

#include <io.h>
#include <windows.h>

bool flush_file_to_disk(FILE* file) {
    return _commit(_fileno(file)) == 0;
}

// A read-only settings file is the user's way of keeping the settings fixed:
// it is never replaced. Windows refuses such a move by itself; Wine does not,
// so the attribute is tested here. MOVEFILE_WRITE_THROUGH returns only once
// the rename itself is on the disk.
bool move_file_over(const char* from, const char* to) {
    DWORD attributes = GetFileAttributesA(to);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        return false;
    return MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}
