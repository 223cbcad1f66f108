// The system's profile reader and our portable reader must give the same
// answers: every file of a corpus of ordinary and hostile INI files is asked
// for the same sections and keys, with several buffer sizes and defaults,
// through both, and every returned length and buffer byte is compared.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/portable_ini.h"
#include "tests/win32/settings_temp_folder.h"

namespace {

std::string repeat(const std::string& piece, int times) {
    std::string out;
    for (int i = 0; i < times; ++i)
        out += piece;
    return out;
}

struct CorpusFile {
    const char* name;
    std::string bytes;
};

// Code page 932 pieces, spelled as bytes so that the compiler's execution
// character set cannot touch them.
const std::string kKanji = "\x88\x9F";         // a kanji
const std::string kSo = "\x83\x5C";            // katakana whose second byte is '\'
const std::string kDash = "\x81\x5B";          // long vowel mark, second byte '['
const std::string kHyphen = "\x81\x5D";        // hyphen, second byte ']'
const std::string kWideSpace = "\x81\x40";     // ideographic space
const std::string kHalfWidth = "\xB1\xB2\xDF"; // half-width katakana
const std::string kSingles = "\x80\xA0\xFD\xFE\xFF";

std::vector<CorpusFile> corpus() {
    const std::string saved = "[option]\r\nsize=37,37\r\nmagnify=300\r\nposition=16,135\r\n"
                              "interval=10\r\nttdisp=1\r\nhotkey=17,0\r\nvisible=1\r\n\r\n"
                              "[target]\r\ncount=2\r\n0=2,Notepad/abc\r\n1=1,Cls/a/b\r\n";
    std::string lf_only = saved;
    for (size_t at; (at = lf_only.find("\r\n")) != std::string::npos;)
        lf_only.erase(at, 1);
    std::string cr_only = lf_only;
    for (char& c : cr_only)
        if (c == '\n') c = '\r';

    return {
        {"saved.ini", saved},
        {"lf.ini", lf_only},
        {"cr.ini", cr_only},
        {"no-final-newline.ini", "[option]\r\nsize=21,23\r\nmagnify=250"},
        {"empty.ini", ""},
        {"bom.ini", "\xEF\xBB\xBF[option]\r\nsize=21,23\r\n[target]\r\n0=3,Cls/t\r\n"},
        {"blanks.ini", " \t[option] \t\r\n  size =  21 , 23  \r\n\tmagnify\t=\t250\t\r\n"
                       "position=\r\nvisible =   \r\n k = v  w \r\n\f\v\r\n[ target ]\r\n"
                       "0 = 2,Cls/t\r\n\x1A[target]\x1A\r\n1=\x1Ax\x1A\r\n"},
        {"wide-blanks.ini", kWideSpace + "[option]" + kWideSpace + "\r\nsize" + kWideSpace + "=" +
                                kWideSpace + "21,23" + kWideSpace + "\r\nk=a" + kWideSpace +
                                "b\r\n"},
        {"wide-space-values.ini", "[option]\r\nk=" + kWideSpace + "v" + kWideSpace + "\r\n" +
                                      kWideSpace + "size=21,23\r\nmagnify" + kWideSpace +
                                      "=250\r\n"},
        {"ctrl-z.ini", "\x1A[option]\x1A\r\nsize=\x1A"
                       "21,23\x1A\r\n\x1Amagnify\x1A=250\r\n"
                       "\x1A"},
        {"control-blanks.ini", "[option]\r\nk=\x1C"
                               "5\x1F\r\nv=\x01 7\r\nsize=\x1D"
                               "21\r\n"
                               "a=\x1E\r\n"},
        {"quotes.ini", "[option]\r\nsize=\"21,23\"\r\nmagnify='250'\r\nposition=\"16,135'\r\n"
                       "k=\"\"\r\nkey=\"\r\nv='\r\nx=\"a\"b\"\r\na=' 5 '\r\n"
                       "interval=\"  -12\"\r\nhotkey= \"18,70\" \r\n[target]\r\n"
                       "0=\"2,Cls/t\"\r\n1='\"x\"'\r\n2=\"" +
                           repeat("q", 157) +
                           "\"\r\n"
                           "3=\"" +
                           repeat("q", 158) + "\"\r\n4=\"" + repeat("q", 159) +
                           "\"\r\n"
                           "5='" +
                           repeat("q", 200) + "'\r\n6=\"" + repeat("q", 78) +
                           "\"\r\n"
                           "7=\"" +
                           repeat("q", 79) + "\"\r\n8=\"" + repeat("q", 28) +
                           "\"\r\n"
                           "9=\"" +
                           repeat("q", 29) + "\"\r\n"},
        {"comments.ini", "; settings\r\n[option]\r\n;size=1,1\r\nsize=21,23 ; trailing\r\n"
                         "# hash=1\r\n#=2\r\nmagnify=250;x\r\n[target]\r\n;0=1,A/\r\n"
                         "0=1,B/ ;c\r\n"},
        {"duplicates.ini", "[option]\r\nsize=21,23\r\nsize=25,27\r\nmagnify=250\r\n"
                           "[target]\r\n0=1,A/\r\n[option]\r\nmagnify=400\r\nposition=1,2\r\n"
                           "[target]\r\n1=2,B/\r\n"},
        {"letter-case.ini", "[OpTiOn]\r\nSIZE=21,23\r\nMagnify=250\r\n[TARGET]\r\n0=1,A/\r\n"},
        {"odd-lines.ini", "[option\r\nsize=21,23\r\n[option]junk\r\nmagnify=250\r\n=orphan\r\n"
                          "==x\r\nk==v\r\nkey\r\nv=\r\n   \r\n\r\r\n[]\r\nx=in-empty\r\n"
                          "[target]\r\n0=1,A\r\n[other]\r\nhash=1\r\n"},
        {"long-line.ini", "[option]\r\nk=" + repeat("x", 10240) + "\r\nsize=" + repeat("7", 10240) +
                              ",1\r\nmagnify=" + repeat("9", 10240) +
                              "\r\n[target]\r\n0=" + repeat("0123456789", 1024) + "\r\n"},
        {"high-bytes.ini",
         "[option]\r\nk=" + kKanji + kSo + kDash + kHyphen + kHalfWidth + kSingles +
             "\r\n"
             "v=" +
             kSingles + "\r\nx=" + kSo + "\r\n[" + kSo + "]\r\nk=in-so\r\n[a" + kHyphen +
             "]\r\nk=in-hyphen\r\n[target]\r\n0=2," + kKanji + kSo + "/" + kDash +
             "\r\n"
             "1=" +
             repeat(kKanji, 100) + "\r\n2=a" + repeat(kKanji, 100) +
             "\r\n"
             "3=" +
             repeat("x", 157) + kKanji + "\r\n4=" + repeat("x", 158) + kKanji +
             "\r\n"
             "5=" +
             repeat("x", 78) + kKanji + "\r\n6=" + repeat("x", 79) + kKanji +
             "\r\n"
             "7=\"" +
             repeat(kKanji, 80) + "\"\r\n8=" + repeat(kKanji, 160) + "\r\n"},
        {"broken-code-page.ini", "[option]\r\nk\x83=v\r\nkey=ab\x83\r\nv=1\r\nx=\x83\x7F"
                                 "x\r\n"
                                 "a=\x83 b\r\n[target]\r\n0=\x81\r\n1=\x9F\xFD"
                                 "c\r\n"
                                 "2=end\x83"},
        {"nul-bytes.ini", std::string("[option]\r\nsi\0ze=21,23\r\nmagnify=2\x00"
                                      "50\r\n"
                                      "k=a\0b\r\n[opt\0ion]\r\nposition=1,2\r\n[target]\r\n"
                                      "0=1,A\0B/t\r\n1=\x83\0x\r\n",
                                      92)},
        {"integers.ini", "[option]\r\nmagnify=0x1F4\r\nsize=0X10\r\nposition=0o777\r\n"
                         "interval=0b101\r\nvisible=-0x10\r\nhotkey=+250\r\nk=4294967296\r\n"
                         "key=99999999999\r\nv=250abc\r\nx=abc\r\na=-\r\nhash=  -  5\r\n"
                         "count=-2147483648\r\n0=" +
                             repeat("0", 28) + "12\r\n1=" + repeat("0", 27) + "12\r\n2=\"" +
                             repeat("0", 27) +
                             "12\"\r\n"
                             "3=0x\r\n4=0b2\r\n5=0o8\r\n6=0xfffffffff\r\n7=--5\r\n8=0\r\n"
                             "9=\t+0x7fffffff\r\n"},
    };
}

const char* const kSections[] = {"option", "target",   "OPTION",    " option ",
                                 "other",  "\x83\x5C", "a\x81\x5D", "opt"};
const char* const kKeys[] = {
    "size",    "magnify", "position", "interval", "visible", "hotkey", "count", "k",
    "key",     "v",       "x",        "a",        "hash",    "#",      "#hash", ";size",
    "[option", "si",      "SIZE",     " k ",      "0",       "1",      "2",     "3",
    "4",       "5",       "6",        "7",        "8",       "9",      "10"};
const uint32_t kSizes[] = {160, 80, 30, 7, 2};
const char* const kDefaults[] = {"", "37,37  ", "'d'"};

std::string show(const char* bytes, size_t length) {
    std::string out;
    for (size_t i = 0; i < length; ++i) {
        unsigned char c = bytes[i];
        char piece[8];
        if (c >= 0x20 && c < 0x7F && c != '\\')
            std::snprintf(piece, sizeof piece, "%c", c);
        else
            std::snprintf(piece, sizeof piece, "\\x%02X", c);
        out += piece;
    }
    return out;
}

struct Disagreement {
    int count = 0;
    std::string first_ones;
    int reported = 0;
    void add(const std::string& what) {
        if (++count <= 1) first_ones += what + "\n";
    }
};

// What a buffer holds: the bytes up to the last non-zero one, guards included.
std::string show_buffer(const std::vector<char>& buf) {
    size_t end = buf.size();
    while (end > 0 && buf[end - 1] == 0)
        --end;
    return show(buf.data(), end);
}

// Both readers fill a zeroed buffer with guard bytes on each side; the whole
// area must come out identical.
void compare_strings(const std::string& path, const char* file, const char* section,
                     const char* key, const char* def, uint32_t size, Disagreement* d) {
    const size_t guard = 8;
    std::vector<char> system_buf(size + 2 * guard, 0), ours_buf(size + 2 * guard, 0);
    DWORD system_len =
        GetPrivateProfileStringA(section, key, def, system_buf.data() + guard, size, path.c_str());
    uint32_t ours_len =
        portable_ini_read_string(section, key, def, ours_buf.data() + guard, size, path.c_str());
    if (system_len != ours_len || system_buf != ours_buf) {
        d->add(std::string(file) + " [" + show(section, strlen(section)) + "] " +
               show(key, strlen(key)) + " def '" + def + "' size " + std::to_string(size) +
               ": system " + std::to_string(system_len) + " \"" + show_buffer(system_buf) +
               "\" ours " + std::to_string(ours_len) + " \"" + show_buffer(ours_buf) + "\"");
    }
}

void compare_ints(const std::string& path, const char* file, const char* section, const char* key,
                  Disagreement* d) {
    int32_t system_value = int32_t(GetPrivateProfileIntA(section, key, -7, path.c_str()));
    int32_t ours = portable_ini_read_int(section, key, -7, path.c_str());
    if (system_value != ours) {
        d->add(std::string(file) + " int [" + show(section, strlen(section)) + "] " +
               show(key, strlen(key)) + ": system " + std::to_string(system_value) + " ours " +
               std::to_string(ours));
    }
}

// Each section and key is reported once, at its first disagreeing variant.
// A key with a value is read with every buffer size (the default plays no
// part then); an absent or empty one with every default and two sizes.
void compare_everything(const std::string& path, const char* file, Disagreement* d) {
    for (const char* section : kSections) {
        for (const char* key : kKeys) {
            char probe[2] = {};
            bool has_value =
                GetPrivateProfileStringA(section, key, "", probe, sizeof probe, path.c_str()) != 0;
            Disagreement here;
            if (has_value) {
                for (uint32_t size : kSizes)
                    compare_strings(path, file, section, key, "", size, &here);
            } else {
                for (uint32_t size : {kSizes[0], 2u})
                    for (const char* def : kDefaults)
                        compare_strings(path, file, section, key, def, size, &here);
            }
            compare_ints(path, file, section, key, &here);
            if (here.count > 0) {
                d->count += here.count;
                if (++d->reported <= 40)
                    d->first_ones += here.first_ones.substr(0, here.first_ones.find('\n') + 1);
            }
        }
    }
}

} // namespace

TEST(IniReadersAgree, OnTheWholeCorpus) {
    ASSERT_EQ(GetACP(), 932u) << "the corpus is code page 932 text";
    WinTempFolder folder;
    ASSERT_FALSE(folder.path().empty());
    Disagreement disagreement;
    for (const CorpusFile& file : corpus()) {
        std::string path = folder.file(file.name);
        ASSERT_TRUE(write_file_bytes(path, file.bytes)) << file.name;
        compare_everything(path, file.name, &disagreement);
    }
    EXPECT_EQ(disagreement.count, 0) << disagreement.first_ones;
}

TEST(IniReadersAgree, WhenThereIsNoReadableFile) {
    WinTempFolder folder;
    ASSERT_FALSE(folder.path().empty());
    std::string directory = folder.file("folder.ini");
    ASSERT_TRUE(CreateDirectoryA(directory.c_str(), nullptr));
    Disagreement disagreement;
    compare_everything(folder.file("missing.ini"), "missing file", &disagreement);
    compare_everything(directory, "a directory", &disagreement);
    compare_everything(folder.file("no-such-folder\\brisvane.ini"), "missing folder",
                       &disagreement);
    EXPECT_EQ(disagreement.count, 0) << disagreement.first_ones;
}

// The corpus must really exercise the readers: a few answers checked by
// value, so that two readers that both returned nothing could not agree.
TEST(IniReadersAgree, CorpusAnswersAreTheExpectedOnes) {
    WinTempFolder folder;
    ASSERT_FALSE(folder.path().empty());
    for (const CorpusFile& file : corpus()) {
        ASSERT_TRUE(write_file_bytes(folder.file(file.name), file.bytes));
    }
    auto read = [&](const char* file, const char* section, const char* key) {
        char buf[160] = {};
        GetPrivateProfileStringA(section, key, "-", buf, sizeof buf, folder.file(file).c_str());
        return std::string(buf);
    };
    EXPECT_EQ(read("saved.ini", "target", "1"), "1,Cls/a/b");
    EXPECT_EQ(read("blanks.ini", "option", "size"), "21 , 23");
    EXPECT_EQ(read("bom.ini", "option", "size"), "21,23");
    EXPECT_EQ(read("quotes.ini", "option", "size"), "21,23");
    EXPECT_EQ(read("duplicates.ini", "option", "size"), "21,23");
    EXPECT_EQ(read("letter-case.ini", "option", "size"), "21,23");
    EXPECT_EQ(read("odd-lines.ini", "option", "key"), "-") << "a key without '=' has no value";
    EXPECT_EQ(read("high-bytes.ini", "target", "0"), "2," + kKanji + kSo + "/" + kDash);
    EXPECT_EQ(read("nul-bytes.ini", "option", "magnify"), "2");
    EXPECT_EQ(read("blanks.ini", "target", "0"), "2,Cls/t") << "blanks inside [ ] are ignored";
    EXPECT_EQ(read("ctrl-z.ini", "option", "size"), "21,23");
    EXPECT_EQ(read("wide-space-values.ini", "option", "k"), kWideSpace + "v" + kWideSpace);
    EXPECT_EQ(read("broken-code-page.ini", "option", "key"), "ab\x81\x45");
    EXPECT_EQ(read("quotes.ini", "target", "3"), std::string(158, 'q'));
    EXPECT_EQ(read("quotes.ini", "target", "4"), std::string(158, 'q'))
        << "a quoted value cut at the buffer's end also loses its last kept character";
    EXPECT_EQ(GetPrivateProfileIntA("option", "magnify", 0, folder.file("integers.ini").c_str()),
              500u);
}
