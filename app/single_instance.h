// One running copy: a named mutex; a second start brings the first forward.
#pragma once

// 1 when this is the only instance (the mutex named `name` is then held
// until release_single_instance), 0 when the program must exit now.
int check_single_instance(const char* name);
// Frees the name for the next copy (teardown).
void release_single_instance();
