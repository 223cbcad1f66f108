#include "app/startup_paths.h"
#include <cstring>
#include "platform/ansi_text.h"
#include "resources/texts.h"

bool build_file_paths(const char* module_path, char* settings_out, char* help_out,
                      size_t capacity) {
    // Found by characters: in a name such as ソフト.exe the second byte of ソ
    // is a backslash byte too.
    const char* last_backslash = last_ansi_char(module_path, '\\');
    size_t directory_length =
        last_backslash ? size_t(last_backslash - module_path) + 1 : std::strlen(module_path);
    size_t settings_length = directory_length + std::strlen(texts::kSettingsFile);
    size_t help_length = directory_length + std::strlen(texts::kHelpFile);
    if (settings_length >= capacity || help_length >= capacity) return false;
    std::memcpy(settings_out, module_path, directory_length);
    std::strcpy(settings_out + directory_length, texts::kSettingsFile);
    std::memcpy(help_out, module_path, directory_length);
    std::strcpy(help_out + directory_length, texts::kHelpFile);
    return true;
}
