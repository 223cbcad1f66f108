// One running copy: a named mutex; a second start brings the first forward.
#pragma once

// 1 when this is the only instance (the mutex is kept in
// single_instance_mutex), 0 when the program must exit now.
int check_single_instance(const char* name);
