// Our own INI reader (see portable_ini.h for what it promises). It works the
// way the system's reader does: the file is turned into characters, split
// into sections and keys, and a value is copied out in two steps, first as
// characters into a buffer of `size` characters, then as bytes into `size`
// bytes. The two steps explain the odd cases: a quoted value one character
// too long for the buffer loses a character besides its quotes, and a value
// cut inside a double-byte character reports size - 1.
#include "platform/portable_ini.h"

#include <cerrno>
#include <cstdio>
#include <string>
#include <sys/stat.h>
#include <utility>
#include <vector>

namespace {

// A character of code page 932: a single byte, or a double-byte code held as
// lead << 8 | trail.
using Char = uint16_t;
using Text = std::vector<Char>;

constexpr Char kMiddleDot = 0x8145;    // what an undecodable lead byte reads as
constexpr uint32_t kIntegerChars = 30; // the integer is read into 30 characters

bool is_lead_byte(uint8_t b) {
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}
bool is_trail_byte(uint8_t b) {
    return b >= 0x40 && b <= 0xFC && b != 0x7F;
}

Text decode(const char* bytes, size_t length) {
    Text text;
    text.reserve(length);
    for (size_t i = 0; i < length; ++i) {
        uint8_t b = uint8_t(bytes[i]);
        if (!is_lead_byte(b)) {
            text.push_back(b);
            continue;
        }
        // A lead byte takes whatever byte follows (a line break included),
        // except a NUL or the end of the text.
        if (i + 1 == length || bytes[i + 1] == '\0') {
            text.push_back(kMiddleDot);
            continue;
        }
        uint8_t trail = uint8_t(bytes[++i]);
        text.push_back(is_trail_byte(trail) ? Char(b << 8 | trail) : kMiddleDot);
    }
    return text;
}

Text decode(const char* c_string) {
    std::string bytes(c_string ? c_string : "");
    return decode(bytes.data(), bytes.size());
}

bool is_blank(Char c) {
    return c == ' ' || (c >= 0x09 && c <= 0x0D) || c == 0x1A;
}

bool is_line_break(Char c) {
    return c == '\n' || c == '\r';
}

// Names and values end at a NUL, as the system compares and copies them as
// strings.
Text until_nul(const Text& text, size_t begin, size_t end) {
    Text out;
    for (size_t i = begin; i < end && text[i] != 0; ++i)
        out.push_back(text[i]);
    return out;
}

struct Key {
    Text name;
    bool has_value;
    Text value;
};

struct Section {
    Text name;
    std::vector<Key> keys;
};

// Keys before the first section header belong to a section without a name.
std::vector<Section> parse(const Text& text) {
    std::vector<Section> sections(1);
    size_t next = 0;
    const size_t end = text.size();
    while (next < end) {
        size_t start = next;
        while (next < end && !is_line_break(text[next]))
            ++next;
        size_t stop = next;
        while (next < end && is_line_break(text[next]))
            ++next;

        while (start < stop && is_blank(text[start]))
            ++start;
        while (stop > start && is_blank(text[stop - 1]))
            --stop;
        if (start == stop) continue;

        if (text[start] == '[') {
            size_t close = start + 1;
            while (close < stop && text[close] != ']')
                ++close;
            // Without a ']' the line is read as a key.
            if (close < stop) {
                size_t name = start + 1, name_end = close;
                while (name < name_end && is_blank(text[name]))
                    ++name;
                while (name_end > name && is_blank(text[name_end - 1]))
                    --name_end;
                sections.push_back({until_nul(text, name, name_end), {}});
                continue;
            }
        }
        size_t equals = start;
        while (equals < stop && text[equals] != '=')
            ++equals;
        size_t name_end = equals;
        while (name_end > start && is_blank(text[name_end - 1]))
            --name_end;
        Key key{until_nul(text, start, name_end), equals < stop, {}};
        if (key.has_value) {
            size_t value_start = equals + 1;
            while (value_start < stop && is_blank(text[value_start]))
                ++value_start;
            key.value = until_nul(text, value_start, stop);
        }
        sections.back().keys.push_back(std::move(key));
    }
    return sections;
}

Char ascii_lower(Char c) {
    return c >= 'A' && c <= 'Z' ? Char(c + ('a' - 'A')) : c;
}

bool same_name(const Text& a, const Text& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (ascii_lower(a[i]) != ascii_lower(b[i])) return false;
    }
    return true;
}

// A name asked for is compared without its surrounding blanks.
Text trimmed_name(const char* name) {
    Text text = decode(name);
    size_t begin = 0, end = text.size();
    while (begin < end && is_blank(text[begin]))
        ++begin;
    while (end > begin && is_blank(text[end - 1]))
        --end;
    return Text(text.begin() + begin, text.begin() + end);
}

// Only the first section of a name is searched, and its first key of a name
// wins.
const Key* find_key(const std::vector<Section>& sections, const char* section, const char* key) {
    Text section_name = trimmed_name(section);
    Text key_name = trimmed_name(key);
    for (const Section& s : sections) {
        if (!same_name(s.name, section_name)) continue;
        for (const Key& k : s.keys) {
            if (same_name(k.name, key_name)) return &k;
        }
        return nullptr;
    }
    return nullptr;
}

enum class FileState { missing, unreadable, read };

// A file that does not exist in a folder that does is read as empty; a
// missing folder counts as unreadable.
bool folder_exists(const char* path) {
    std::string folder(path);
    size_t separator = folder.find_last_of("/\\");
    if (separator == std::string::npos) return true;
    folder.resize(separator == 0 ? 1 : separator);
    struct stat info;
    return stat(folder.c_str(), &info) == 0 && (info.st_mode & S_IFDIR) != 0;
}

FileState read_file(const char* path, std::string* bytes) {
    FILE* file = std::fopen(path, "rb");
    if (!file) {
        return errno == ENOENT && folder_exists(path) ? FileState::missing : FileState::unreadable;
    }
    char chunk[4096];
    size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0)
        bytes->append(chunk, got);
    bool failed = std::ferror(file) != 0; // e.g. a directory opened by name
    std::fclose(file);
    return failed ? FileState::unreadable : FileState::read;
}

// The file as sections, or false when it exists but cannot be read. A missing
// or empty file is a file without sections.
bool load_profile(const char* path, std::vector<Section>* sections) {
    std::string bytes;
    FileState state = read_file(path, &bytes);
    if (state == FileState::unreadable) return false;
    size_t skip = bytes.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    *sections = parse(decode(bytes.data() + skip, bytes.size() - skip));
    return true;
}

// First step: the characters a buffer of `size` characters receives. A value
// enclosed in matching quotes loses the opening one, and the closing one
// unless the value had to be cut; when the value fills the buffer exactly,
// the character before the closing quote goes instead, as in the system's
// reader.
Text copy_value(const Text& value, uint32_t size, bool strip_quotes) {
    size_t first = 0;
    size_t length = value.size();
    bool quoted = strip_quotes && length >= 2 && (value[0] == '\'' || value[0] == '"') &&
                  value[length - 1] == value[0];
    if (quoted) {
        first = 1;
        length -= 1;
    }
    size_t copied = length < size - 1 ? length : size - 1;
    Text out(value.begin() + first, value.begin() + first + copied);
    if (quoted && size >= length && !out.empty()) out.pop_back();
    return out;
}

// Second step: the characters as bytes into `size` bytes, whole characters
// only. When they do not all fit, the result is reported as size - 1.
uint32_t store_bytes(const Text& chars, char* buf, uint32_t size) {
    const uint32_t room = size - 1;
    uint32_t used = 0;
    for (Char c : chars) {
        uint32_t width = c > 0xFF ? 2 : 1;
        if (used + width > room) {
            buf[used] = '\0';
            buf[room] = '\0';
            return room;
        }
        if (width == 2) buf[used++] = char(c >> 8);
        buf[used++] = char(c & 0xFF);
    }
    buf[used] = '\0';
    return used;
}

// The default loses trailing spaces (never its first character).
Text default_text(const char* def) {
    Text text = decode(def);
    while (text.size() > 1 && text.back() == ' ')
        text.pop_back();
    return text;
}

// The characters a lookup yields in a buffer of `size` characters.
Text lookup_chars(const char* section, const char* key, const char* def, uint32_t size,
                  const char* path) {
    std::vector<Section> sections;
    if (!load_profile(path, &sections)) return copy_value(default_text(def), size, false);
    const Key* found = find_key(sections, section, key);
    if (found && found->has_value) return copy_value(found->value, size, true);
    return copy_value(default_text(def), size, true);
}

int digit_value(Char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'Z') return c - 'A' + 10;
    if (c >= 'a' && c <= 'z') return c - 'a' + 10;
    return -1;
}

} // namespace

uint32_t portable_ini_read_string(const char* section, const char* key, const char* def, char* buf,
                                  uint32_t size, const char* path) {
    if (size == 0) return 0;
    return store_bytes(lookup_chars(section, key, def, size, path), buf, size);
}

int32_t portable_ini_read_int(const char* section, const char* key, int32_t def, const char* path) {
    Text value = lookup_chars(section, key, "", kIntegerChars, path);
    if (value.empty()) return def;
    size_t i = 0;
    const size_t n = value.size();
    while (i < n && value[i] <= ' ')
        ++i;
    bool negative = false;
    if (i < n && (value[i] == '+' || value[i] == '-')) negative = value[i++] == '-';
    int base = 10;
    if (n - i >= 2 && value[i] == '0') {
        Char prefix = value[i + 1];
        base = prefix == 'x' ? 16 : prefix == 'o' ? 8 : prefix == 'b' ? 2 : 10;
        if (base != 10) i += 2;
    }
    uint32_t total = 0; // wraps like the system's 32-bit accumulator
    for (; i < n; ++i) {
        int digit = digit_value(value[i]);
        if (digit < 0 || digit >= base) break;
        total = total * uint32_t(base) + uint32_t(digit);
    }
    return int32_t(negative ? 0u - total : total);
}
