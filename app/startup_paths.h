// Paths of the settings file and the help file, beside the executable.
#pragma once
#include <cstddef>

// Cuts module_path after its last backslash character (not a second byte) and appends the two file
// names. Returns false, writing nothing, when either result would not fit in capacity bytes
// (terminator included).
bool build_file_paths(const char* module_path, char* settings_out, char* help_out, size_t capacity);
