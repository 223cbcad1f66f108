// Per-window settings dialog: header-click ordering and type-cell texts.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "dialogs/rule_rows.h"
#include "resources/texts.h"

namespace {

TEST(DialogRuleCells, CompareAsUnsignedBytesCaseSensitivePrefixFirst) {
    EXPECT_LT(compare_cell_bytes("B", "a"), 0); // upper case sorts before lower
    EXPECT_LT(compare_cell_bytes("ab", "abc"), 0);
    EXPECT_GT(compare_cell_bytes("abc", "ab"), 0);
    EXPECT_EQ(compare_cell_bytes("", ""), 0);
    EXPECT_LT(compare_cell_bytes("", "a"), 0);
    EXPECT_EQ(compare_cell_bytes("Notepad", "Notepad"), 0);
    // Shift-JIS lead bytes (0x81..) sort after every ASCII byte.
    EXPECT_GT(compare_cell_bytes("\x82\xa0", "z"), 0);
    EXPECT_GT(compare_cell_bytes("\xff", "\x7f"), 0);
    EXPECT_EQ(compare_cell_bytes("x", "y"), -1);
    EXPECT_EQ(compare_cell_bytes("y", "x"), 1);
}

using Row = std::array<std::string, 3>;

std::vector<Row> sorted(std::vector<Row> rows, int clicked, int ascending) {
    std::stable_sort(rows.begin(), rows.end(), [&](const Row& a, const Row& b) {
        const char* pa[3] = {a[0].c_str(), a[1].c_str(), a[2].c_str()};
        const char* pb[3] = {b[0].c_str(), b[1].c_str(), b[2].c_str()};
        return compare_rule_cells(pa, pb, clicked, ascending) < 0;
    });
    return rows;
}

const std::vector<Row> kRows = {
    {"B", "x", "2"}, {"A", "y", "1"}, {"A", "x", "3"}, {"C", "x", "1"}, {"A", "x", "1"}};

TEST(DialogRuleSort, ClickedColumnFirstThenTheFixedOrder) {
    EXPECT_EQ(
        sorted(kRows, 0, 1),
        (std::vector<Row>{
            {"A", "x", "1"}, {"A", "x", "3"}, {"A", "y", "1"}, {"B", "x", "2"}, {"C", "x", "1"}}));
    // Title first, then class name, then type.
    EXPECT_EQ(
        sorted(kRows, 1, 1),
        (std::vector<Row>{
            {"A", "x", "1"}, {"A", "x", "3"}, {"B", "x", "2"}, {"C", "x", "1"}, {"A", "y", "1"}}));
    // Type first, then class name, then title.
    EXPECT_EQ(
        sorted(kRows, 2, 1),
        (std::vector<Row>{
            {"A", "x", "1"}, {"A", "y", "1"}, {"C", "x", "1"}, {"B", "x", "2"}, {"A", "x", "3"}}));
}

TEST(DialogRuleSort, DescendingIsTheExactReverse) {
    for (int column = 0; column < 3; ++column) {
        std::vector<Row> up = sorted(kRows, column, 1);
        std::vector<Row> down = sorted(kRows, column, 0);
        std::reverse(down.begin(), down.end());
        EXPECT_EQ(up, down) << "column " << column;
    }
}

TEST(DialogRuleSort, UnknownColumnLeavesRowsEqual) {
    const char* a[3] = {"A", "x", "1"};
    const char* b[3] = {"B", "y", "2"};
    EXPECT_EQ(compare_rule_cells(a, b, 3, 1), 0);
    EXPECT_EQ(compare_rule_cells(a, b, -1, 0), 0);
    EXPECT_EQ(compare_rule_cells(a, a, 0, 1), 0);
}

TEST(DialogRuleSort, DirectionFlagsInvertPerColumn) {
    uint8_t flags[3] = {0, 0, 0};
    EXPECT_EQ(toggle_sort_direction(flags, 0), 1); // first click: ascending
    EXPECT_EQ(toggle_sort_direction(flags, 0), 0); // second: descending
    EXPECT_EQ(toggle_sort_direction(flags, 2), 1); // other columns keep their own flag
    EXPECT_EQ(toggle_sort_direction(flags, 0), 1);
    EXPECT_EQ(flags[1], 0);
    EXPECT_EQ(toggle_sort_direction(flags, 5), 0);
    EXPECT_EQ(flags[0] + flags[1] + flags[2], 2);
}

std::string cell_of(int32_t type) {
    char buf[kRuleTextSize];
    rule_type_cell_text(type, buf, sizeof buf);
    return buf;
}

TEST(DialogRuleTypeCell, KnownTypesShowTheComboTextOthersTheirNumber) {
    EXPECT_EQ(cell_of(1), texts::kVisibilityTypeNames[0]);
    EXPECT_EQ(cell_of(3), texts::kVisibilityTypeNames[2]);
    EXPECT_EQ(cell_of(0), "0");
    EXPECT_EQ(cell_of(7), "7");
    EXPECT_EQ(cell_of(-2), "-2");
    // A hand-edited type survives the dialog.
    for (int32_t type : {0, 4, 7, -2, 2147483647, -2147483647 - 1})
        EXPECT_EQ(unmatched_type_from_cell(cell_of(type).c_str()), type);
    EXPECT_EQ(unmatched_type_from_cell(""), 0);
    EXPECT_EQ(unmatched_type_from_cell("-"), 0);
    EXPECT_EQ(unmatched_type_from_cell("4x"), 0);
    EXPECT_EQ(unmatched_type_from_cell("99999999999"), 0);
    EXPECT_EQ(unmatched_type_from_cell(texts::kVisibilityTypeNames[1]), 0);
}

} // namespace
