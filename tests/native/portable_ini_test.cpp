// Our INI reader on its own: the answers the system's reader gives (the Win32
// suite compares the two directly under Wine; these run without it).
#include "tests/native/settings_test_support.h"

#include "platform/portable_ini.h"

namespace {

class PortableIni : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_FALSE(folder.path().empty()); }

    void write(const std::string& bytes) { write_bytes(folder.file("t.ini"), bytes); }

    // The value as a string, or "<n>" appended when the length reported
    // differs from the string's.
    std::string read(const char* section, const char* key, const char* def = "-",
                     uint32_t size = 160) {
        std::vector<char> buf(size + 1, 'Z');
        uint32_t n = portable_ini_read_string(section, key, def, buf.data(), size,
                                              folder.file("t.ini").c_str());
        std::string value(buf.data());
        if (n != value.size()) value += "<" + std::to_string(n) + ">";
        return value;
    }

    int32_t read_int(const char* section, const char* key, int32_t def = -7) {
        return portable_ini_read_int(section, key, def, folder.file("t.ini").c_str());
    }

    TempFolder folder;
};

} // namespace

TEST_F(PortableIni, SectionsAndKeys) {
    write("top=1\r\n[Option]\r\nSize=21,23\r\nsize=99\r\n;size=1\r\nkey\r\nempty=\r\n"
          "[ target ]\r\n0 = 2,Cls/t \r\n[half\r\nx=1\r\n[option]\r\nmagnify=400\r\n"
          "[other]tail\r\ny=2\r\n");
    EXPECT_EQ(read("option", "size"), "21,23") << "case-insensitive, first key wins";
    EXPECT_EQ(read("OPTION", "SIZE"), "21,23");
    EXPECT_EQ(read("option", ";size"), "1") << "';' starts no comment";
    EXPECT_EQ(read("option", "key"), "-") << "a line without '=' has no value";
    EXPECT_EQ(read("option", "empty"), "");
    EXPECT_EQ(read("option", "magnify"), "-") << "a repeated section is never searched";
    EXPECT_EQ(read("target", "0"), "2,Cls/t");
    EXPECT_EQ(read(" target ", " 0 "), "2,Cls/t");
    EXPECT_EQ(read("target", "[half"), "-") << "'[' without ']' makes a key line, no section";
    EXPECT_EQ(read("target", "x"), "1");
    EXPECT_EQ(read("other", "y"), "2");
    EXPECT_EQ(read("", "top"), "1");
    EXPECT_EQ(read("nothing", "size"), "-");
}

TEST_F(PortableIni, LineEndingsBomAndBlanks) {
    write("\xEF\xBB\xBF[a]\rk1=1\nk2=2\r\n\r\r\nk3=\t\x1A 3 \x0B\r\n"
          "k4=\x1C"
          "4\r\nk5=\x81\x40"
          "5\r\nk6=6");
    EXPECT_EQ(read("a", "k1"), "1");
    EXPECT_EQ(read("a", "k2"), "2");
    EXPECT_EQ(read("a", "k3"), "3");
    EXPECT_EQ(read("a", "k4"), "\x1C"
                               "4")
        << "file separators are not blanks";
    EXPECT_EQ(read("a", "k5"), "\x81\x40"
                               "5")
        << "the ideographic space is not a blank";
    EXPECT_EQ(read("a", "k6"), "6") << "no final newline";
}

TEST_F(PortableIni, QuotesAreStrippedInPairs) {
    std::string long_quoted = "\"" + std::string(9, 'q') + "\"";
    write("[a]\r\nd=\"21,23\"\r\ns='x'\r\nmixed=\"x'\r\nlone=\"\r\nempty=\"\"\r\n"
          "inner=\"a\"b\"\r\nq=" +
          long_quoted + "\r\n");
    EXPECT_EQ(read("a", "d"), "21,23");
    EXPECT_EQ(read("a", "s"), "x");
    EXPECT_EQ(read("a", "mixed"), "\"x'");
    EXPECT_EQ(read("a", "lone"), "\"");
    EXPECT_EQ(read("a", "empty"), "");
    EXPECT_EQ(read("a", "inner"), "a\"b");
    // 9 q and the closing quote are 10 characters after the opening one.
    EXPECT_EQ(read("a", "q", "-", 11), std::string(9, 'q'));
    EXPECT_EQ(read("a", "q", "-", 10), std::string(8, 'q'))
        << "cut at the buffer's end, the last kept character goes instead of the quote";
    EXPECT_EQ(read("a", "q", "-", 9), std::string(8, 'q'));
}

TEST_F(PortableIni, DefaultsAndFilesThatCannotBeRead) {
    write("[a]\r\n");
    EXPECT_EQ(read("a", "k", "37,37  "), "37,37") << "trailing spaces of a default go";
    EXPECT_EQ(read("a", "k", " "), " ");
    EXPECT_EQ(read("a", "k", "'d'"), "d") << "a readable file unquotes the default too";
    EXPECT_EQ(read("a", "k", "abcdef", 4), "abc");

    // Missing file in an existing folder: read as an empty file.
    EXPECT_EQ(portable_ini_read_int("a", "k", 5, folder.file("none.ini").c_str()), 5);
    char buf[16];
    EXPECT_EQ(
        portable_ini_read_string("a", "k", "'d'", buf, sizeof buf, folder.file("none.ini").c_str()),
        1u);
    EXPECT_STREQ(buf, "d");
    // A folder named like the file, or a missing folder: the default as given.
    ASSERT_EQ(mkdir(folder.file("dir.ini").c_str(), 0755), 0);
    for (const std::string& path : {folder.file("dir.ini"), folder.file("no/such.ini")}) {
        EXPECT_EQ(portable_ini_read_string("a", "k", "'d'", buf, sizeof buf, path.c_str()), 3u);
        EXPECT_STREQ(buf, "'d'") << path;
        EXPECT_EQ(portable_ini_read_int("a", "k", 5, path.c_str()), 5);
    }
}

TEST_F(PortableIni, NulBytesEndNamesAndValues) {
    write(std::string("[a]\r\nsi\0ze=1\r\nv=2\0"
                      "50\r\n[b\0c]\r\nk=3\r\n",
                      33));
    EXPECT_EQ(read("a", "si"), "1");
    EXPECT_EQ(read("a", "size"), "-");
    EXPECT_EQ(read("a", "v"), "2");
    EXPECT_EQ(read("b", "k"), "3");
}

TEST_F(PortableIni, CodePage932Characters) {
    const std::string kanji = "\x88\x9F";
    write("[a]\r\nso=\x83\x5C\r\nk\x83=v\r\nend=ab\x83\r\nnext=1\r\nbad=\x83\x7F"
          "x\r\n"
          "long=" +
          std::string(5, 'x') + kanji + "\r\n[\x83\x5C]\r\nk=in\r\nlast=z\x83");
    EXPECT_EQ(read("a", "so"), "\x83\x5C") << "a trail byte '\\' is part of its character";
    EXPECT_EQ(read("a", "k\x81\x45"), "-") << "a lead byte swallows '=': a key without value";
    EXPECT_EQ(read("a", "end"), "ab\x81\x45") << "the lead byte takes CR, LF still ends";
    EXPECT_EQ(read("a", "next"), "1");
    EXPECT_EQ(read("a", "bad"), "\x81\x45"
                                "x");
    EXPECT_EQ(read("a", "long", "-", 8), "xxxxx" + kanji);
    EXPECT_EQ(read("a", "long", "-", 7), "xxxxx<6>") << "never half a character";
    EXPECT_EQ(read("\x83\x5C", "k"), "in");
    EXPECT_EQ(read("\x83\x5C", "last"), "z\x81\x45");
}

TEST_F(PortableIni, IntegersAsTheSystemReadsThem) {
    write("[n]\r\nhex=0x1F4\r\nupper=0X10\r\noct=0o777\r\nbin=0b101\r\nneg=-0x10\r\n"
          "plus=+250\r\nwrap=4294967297\r\nbig=99999999999\r\ntail=250abc\r\nword=abc\r\n"
          "minus=-\r\nquoted=\"  -12\"\r\nempty=\r\nlong=" +
          std::string(28, '0') +
          "12\r\n"
          "fits=" +
          std::string(27, '0') + "12\r\nbad=0b2\r\nctrl=\x01 7\r\n");
    struct Case {
        const char* key;
        int32_t expected;
    } cases[] = {
        {"hex", 500},  {"upper", 0},    {"oct", 511},        {"bin", 5},      {"neg", -16},
        {"plus", 250}, {"wrap", 1},     {"big", 1215752191}, {"tail", 250},   {"word", 0},
        {"minus", 0},  {"quoted", -12}, {"empty", -7},       {"missing", -7}, {"long", 1},
        {"fits", 12},  {"bad", 0},      {"ctrl", 7},
    };
    for (const Case& c : cases)
        EXPECT_EQ(read_int("n", c.key), c.expected) << c.key;
}
