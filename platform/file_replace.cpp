#include "platform/file_replace.h"

#include <cstring>

static ReplacementOpenHook replacement_open_hook = nullptr;

ReplacementOpenHook set_replacement_open_hook(ReplacementOpenHook hook) {
    ReplacementOpenHook previous = replacement_open_hook;
    replacement_open_hook = hook;
    return previous;
}

std::string replacement_temp_path(const char* target_path) {
    std::string path(target_path);
    if (!path.empty()) path.back() = path.back() == '~' ? '_' : '~';
    return path;
}

FILE* begin_replacement(const char* target_path) {
    if (!target_path || !*target_path) return nullptr;
    std::string temp = replacement_temp_path(target_path);
    if (replacement_open_hook) return replacement_open_hook(temp.c_str());
    return std::fopen(temp.c_str(), "wt");
}

bool finish_replacement(FILE* file, const char* target_path) {
    std::string temp = replacement_temp_path(target_path);
    bool written = std::fflush(file) == 0 && !std::ferror(file) && flush_file_to_disk(file);
    written = std::fclose(file) == 0 && written;
    if (written && move_file_over(temp.c_str(), target_path)) return true;
    std::remove(temp.c_str());
    return false;
}
