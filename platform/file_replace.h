// Replacing a file with new content so that a failure part-way never costs
// the old content: the new bytes go to a scratch file beside the target, and
// only once every byte is written, flushed and the file closed does the
// scratch file take the target's place, in one rename.
#pragma once
#include <cstdio>
#include <string>

// The scratch file: the target's path with its last character replaced by '~'
// (by '_' if it already is one), e.g. "brisvane.in~". It lies in the target's
// folder, so the rename never crosses volumes, and its path is no longer than
// the target's.
std::string replacement_temp_path(const char* target_path);

// Creates or truncates the scratch file for writing in text mode. nullptr
// when it cannot be created (read-only folder, ...); nothing was touched then.
FILE* begin_replacement(const char* target_path);

// Closes file. When every write, the flush to disk and the close succeeded,
// moves the scratch file over target_path; otherwise, or when the move fails,
// deletes the scratch file and leaves target_path as it was. True when
// target_path now holds the new content.
bool finish_replacement(FILE* file, const char* target_path);

// The platform's part (file_replace_win.cpp / file_replace_native.cpp).
// Pushes what was written to file down to the disk.
bool flush_file_to_disk(FILE* file);
// Renames from to to, replacing an existing to in one step.
bool move_file_over(const char* from, const char* to);

// For tests: opens the scratch file in place of fopen(temp_path, "wt"), so
// that a test can hand out a stream whose writes fail. nullptr restores the
// ordinary open; returns the previous hook.
using ReplacementOpenHook = FILE* (*)(const char* temp_path);
ReplacementOpenHook set_replacement_open_hook(ReplacementOpenHook hook);
