// The per-window rule table: order, lookup, and its [target] section.
#include "tests/common/settings_helpers.h"
#include "tests/native/settings_test_support.h"

#include <vector>

namespace {

// -1 when no rule matches.
int32_t lookup(const char* class_name, const char* title) {
    int32_t type = -1;
    return lookup_rule(class_name, title, &type) ? type : -1;
}

} // namespace

class RuleTableTest : public SettingsFileTest {
  protected:
    // The table as loaded from a file with this [target] section alone.
    std::vector<Rule> load_target(const std::string& section_body) {
        clear_rules();
        write_bytes(ini_path, "[target]\n" + section_body);
        load_rules();
        return table_rules();
    }
};

TEST_F(RuleTableTest, OrderIsByUnsignedBytesThenInsertion) {
    insert_rule("b", "1", 1);
    insert_rule("\x83\x81", "", 1); // code page 932 lead byte: after all ASCII
    insert_rule("A", "", 1);
    insert_rule("a", "", 1);
    insert_rule("b", "2", 2);
    insert_rule("", "", 3);
    insert_rule("ab", "", 1);
    insert_rule("b", "1", 1); // an identical rule stays, after the others of b
    std::vector<Rule> expected = {{"", "", 3},   {"A", "", 1},  {"a", "", 1},  {"ab", "", 1},
                                  {"b", "1", 1}, {"b", "2", 2}, {"b", "1", 1}, {"\x83\x81", "", 1}};
    EXPECT_EQ(table_rules(), expected);
    EXPECT_EQ(rule_count(), 8);
    clear_rules();
    EXPECT_EQ(rule_count(), 0);
    EXPECT_EQ(lookup("b", "1"), -1);
}

TEST_F(RuleTableTest, FirstMatchingPatternOfTheClassWins) {
    insert_rule("Cls", "abc", 2);
    insert_rule("Cls", "", 3);
    insert_rule("Other", "", 1);
    EXPECT_EQ(lookup("Cls", "xxabcxx"), 2);
    EXPECT_EQ(lookup("Cls", "ab c"), 3);
    EXPECT_EQ(lookup("Cls", ""), 3);

    clear_rules();
    insert_rule("Cls", "", 3);
    insert_rule("Cls", "abc", 2);
    EXPECT_EQ(lookup("Cls", "abc"), 3) << "an empty pattern inserted first always wins";
}

TEST_F(RuleTableTest, ClassMatchIsExactAndCaseSensitive) {
    insert_rule("notepad", "", 2);
    insert_rule("Note", "", 2);
    EXPECT_EQ(lookup("Notepad", "x"), -1);
    EXPECT_EQ(lookup("Notepad2", "x"), -1);
    EXPECT_EQ(lookup("notepad", "x"), 2);
    EXPECT_EQ(lookup("Note", "x"), 2);
    EXPECT_EQ(lookup("", ""), -1);
}

TEST_F(RuleTableTest, TitleSearchIsCaseSensitiveBytes) {
    insert_rule("C", "Memo", 2);
    insert_rule("C", "\x83\x81\x83\x82", 3); // メモ in code page 932
    EXPECT_EQ(lookup("C", "memo pad"), -1);
    EXPECT_EQ(lookup("C", "My Memo"), 2);
    EXPECT_EQ(lookup("C", "\x96\xb3\x91\xe8 - \x83\x81\x83\x82"), 3);
    // A title with a line break matches the rule captured from it, which
    // holds blanks where the breaks were.
    insert_rule("C", "two\r\nlines", 1);
    EXPECT_EQ(lookup("C", "x two\r\nlines x"), 1);
}

TEST_F(RuleTableTest, OnlyTheFirst127BytesAreCompared) {
    std::string long_class(128, 'C');
    std::string class_127(127, 'C');
    std::string long_pattern(128, 't');
    insert_rule(long_class.c_str(), "", 2);
    insert_rule("W", long_pattern.c_str(), 3);
    insert_rule(class_127.c_str(), "end", 1);
    // The caller's text may be longer, but only 127 bytes of it are seen.
    EXPECT_EQ(lookup(long_class.c_str(), "x"), -1);
    EXPECT_EQ(lookup("W", std::string(300, 't').c_str()), -1);
    EXPECT_EQ(lookup((class_127 + "tail").c_str(), (std::string(124, '.') + "end").c_str()), 1);
    EXPECT_EQ(lookup(class_127.c_str(), (std::string(125, '.') + "end").c_str()), -1)
        << "the pattern lies past byte 127 of the title";
}

TEST_F(RuleTableTest, LoadStopsAtTheFirstGapAndIgnoresCount) {
    EXPECT_EQ(load_target("count=5\n0=1,A/\n1=2,B/\n3=3,D/\n").size(), 2u);
    EXPECT_EQ(load_target("1=1,A/\n2=1,B/\n").size(), 0u) << "no key 0";
    EXPECT_EQ(load_target("count=5\n0=1,A/\n1=1,B/\n2=1,C/\n").size(), 3u);
    EXPECT_EQ(load_target("0=1,A/\n1=\n2=1,C/\n").size(), 1u) << "an empty value is a gap";
    EXPECT_EQ(load_target("00=1,A/\n").size(), 0u) << "keys are plain decimal";
}

TEST_F(RuleTableTest, ValuesAreSplitAtTheFirstSlashAndFirstComma) {
    struct Case {
        const char* value;
        Rule expected;
    } cases[] = {
        {"2,Notepad/abc", {"Notepad", "abc", 2}},
        {"Notepad", {"Notepad", "", 1}},
        {"3,Cls", {"Cls", "", 3}},
        {"1,Cls/a/b", {"Cls", "a/b", 1}},
        {"1,A,B/t", {"A,B", "t", 1}},
        {"7,Cls/t", {"Cls", "t", 7}},
        {"-4,Cls/t", {"Cls", "t", -4}},
        {"12Cls/t", {"12Cls", "t", 12}},
        {"x,Cls/t", {"Cls", "t", 1}},
        {"2/a,b", {"2", "a,b", 2}},
        {"99999999999,Big/", {"Big", "", 2147483647}},
    };
    for (const Case& c : cases) {
        std::vector<Rule> rules = load_target(std::string("0=") + c.value + "\n");
        ASSERT_EQ(rules.size(), 1u) << c.value;
        EXPECT_EQ(rules[0], c.expected) << c.value;
    }
}

TEST_F(RuleTableTest, FileOrderIsKeptWithinAClassWhateverTheNumbering) {
    std::vector<Rule> rules = load_target("2=3,Cls/second\n0=2,Cls/first\n1=1,Abc/\n");
    std::vector<Rule> expected = {{"Abc", "", 1}, {"Cls", "first", 2}, {"Cls", "second", 3}};
    EXPECT_EQ(rules, expected);
}

TEST_F(RuleTableTest, LongValuesAreCutOnAWholeCharacterBeforeParsing) {
    // Read into 512 bytes: 511 of them, less a double-byte character (表,
    // 95 5C) that the cut would split.
    std::string value = "2,Cls/" + std::string(504, 'x') + "\x95\x5C" + "tail";
    std::vector<Rule> rules = load_target("0=" + value + "\n");
    ASSERT_EQ(rules.size(), 1u);
    EXPECT_EQ(rules[0].title_pattern, std::string(504, 'x'));

    rules = load_target("0=" + std::string(600, 'k') + "/t\n");
    ASSERT_EQ(rules.size(), 1u);
    EXPECT_EQ(rules[0], (Rule{std::string(511, 'k'), "", 1}));
}

TEST_F(RuleTableTest, RulesSurviveSaveAndReloadWhole) {
    // What insert_rule is given, and what the table holds from then on, in
    // memory and after every save and reload; listed in table order.
    struct Case {
        Rule given;
        Rule kept;
    } cases[] = {
        {{std::string(127, 'C'), std::string(127, 'T'), -2147483647 - 1},
         {std::string(127, 'C'), std::string(127, 'T'), -2147483647 - 1}},
        {{"Cls", "line\r\nbreak\n", 1}, {"Cls", "line  break ", 1}},
        {{"Cls\r", "x", 2}, {"Cls ", "x", 2}},
        {{"End", "\"quoted\" ", 1}, {"End", "\"quoted\" ", 1}},
        {{"Half\x95", "\x83\x5C\x83", 1}, {"Half", "\x83\x5C", 1}},
        {{"Quote", "\"", 2}, {"Quote", "\"", 2}},
        {{"Tabs", " \tboth ends\t ", 3}, {"Tabs", " \tboth ends\t ", 3}},
    };
    std::vector<Rule> kept;
    for (const Case& c : cases) {
        insert_rule(c.given.class_name.c_str(), c.given.title_pattern.c_str(), c.given.type);
        kept.push_back(c.kept);
    }
    EXPECT_EQ(table_rules(), kept);

    save_settings();
    std::string first_file = read_bytes(ini_path);
    EXPECT_NE(first_file.find("=\"1,Cls/line  break \"\n"), std::string::npos) << first_file;
    clear_rules();
    load_rules();
    EXPECT_EQ(table_rules(), kept);
    save_settings();
    EXPECT_EQ(read_bytes(ini_path), first_file);
}

TEST_F(RuleTableTest, SaveRenumbersInTableOrderAndKeepsSlashesInPatterns) {
    load_target("0=1,b/\n1=3,A/x\n3=9,Lost/\n");
    insert_rule("a", "p/q", 7);
    save_settings();
    std::string file = read_bytes(ini_path);
    std::string tail = "\n[target]\ncount=3\n0=3,A/x\n1=7,a/p/q\n2=1,b/\n";
    ASSERT_GE(file.size(), tail.size());
    EXPECT_EQ(file.substr(file.size() - tail.size()), tail);

    // and the saved rules load back unchanged
    std::vector<Rule> before = table_rules();
    clear_rules();
    load_rules();
    EXPECT_EQ(table_rules(), before);
}

TEST_F(RuleTableTest, AClassNameWithASlashDoesNotSurviveAReload) {
    insert_rule("a/b", "t", 2);
    save_settings();
    clear_rules();
    load_rules();
    EXPECT_EQ(table_rules(), (std::vector<Rule>{{"a", "b/t", 2}}));
}
