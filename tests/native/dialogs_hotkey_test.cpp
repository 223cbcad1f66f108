// Hotkey text form, its parse, and the dialog's key-poll recognition.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dialogs/hotkey_text.h"

namespace {

std::string text_of(IntPair hotkey) {
    char buf[kHotkeyTextSize];
    format_hotkey_text(hotkey, buf, sizeof buf);
    return buf;
}

TEST(DialogHotkeyText, FormatsTheStoredPair) {
    EXPECT_EQ(text_of({17, 0}), "Ctrl");
    EXPECT_EQ(text_of({18, 116}), "Alt+F5");
    EXPECT_EQ(text_of({16, 65}), "Shift+A");
    EXPECT_EQ(text_of({17, 55}), "Ctrl+7");
    EXPECT_EQ(text_of({18, 123}), "Alt+F12");
    EXPECT_EQ(text_of({0, 116}), "F5");
    EXPECT_EQ(text_of({0, 65}), "+A"); // a key without modifier keeps its "+"
    EXPECT_EQ(text_of({0, 0}), "");
    EXPECT_EQ(text_of({99, 112}), "F1"); // unknown modifier contributes nothing
}

TEST(DialogHotkeyText, ParsesNamesAndKeys) {
    EXPECT_EQ(parse_hotkey_text("Ctrl+F12"), (IntPair{17, 123}));
    EXPECT_EQ(parse_hotkey_text("Shift"), (IntPair{16, 0}));
    EXPECT_EQ(parse_hotkey_text("+A"), (IntPair{0, 65}));
    EXPECT_EQ(parse_hotkey_text("F7"), (IntPair{0, 118}));
    EXPECT_EQ(parse_hotkey_text("Alt+9"), (IntPair{18, 57}));
    EXPECT_EQ(parse_hotkey_text(""), (IntPair{0, 0}));
    // Names are exact and case-sensitive.
    EXPECT_EQ(parse_hotkey_text("ctrl+F1"), (IntPair{0, 112}));
    EXPECT_EQ(parse_hotkey_text("Ctrl "), (IntPair{0, 0}));
    // A lone "F" is the letter F; "F" with more after it must be F1..F12.
    EXPECT_EQ(parse_hotkey_text("Ctrl+F"), (IntPair{17, 70}));
    EXPECT_EQ(parse_hotkey_text("Ctrl+AB"), (IntPair{17, 0}));
}

TEST(DialogHotkeyText, OutOfRangeFunctionKeysGiveNoKey) {
    EXPECT_EQ(parse_hotkey_text("Ctrl+F0").y, 0);
    EXPECT_EQ(parse_hotkey_text("Ctrl+F13").y, 0);
    EXPECT_EQ(parse_hotkey_text("Fx").y, 0);
    EXPECT_EQ(parse_hotkey_text("F-3").y, 0);
    EXPECT_EQ(parse_hotkey_text("F99999999999999999999999").y, 0);
    EXPECT_EQ(parse_hotkey_text("F5x").y, 116); // leading digits only
}

TEST(DialogHotkeyText, EveryRecognisableCombinationSurvivesARoundTrip) {
    std::vector<int> keys = {0};
    for (int k = 112; k <= 123; ++k)
        keys.push_back(k);
    for (int k = 'A'; k <= 'Z'; ++k)
        keys.push_back(k);
    for (int k = '0'; k <= '9'; ++k)
        keys.push_back(k);
    for (int modifier : {0, 16, 17, 18}) {
        for (int key : keys) {
            IntPair hotkey = {modifier, key};
            EXPECT_EQ(parse_hotkey_text(text_of(hotkey).c_str()), hotkey)
                << modifier << "," << key << " shown as " << text_of(hotkey);
        }
    }
    // Odd keys from a hand-edited file: '+' itself and a byte above 0x7F.
    EXPECT_EQ(parse_hotkey_text(text_of({17, '+'}).c_str()), (IntPair{17, '+'}));
    EXPECT_EQ(parse_hotkey_text(text_of({16, 0xB1}).c_str()), (IntPair{16, 0xB1}));
}

TEST(DialogHotkeyText, ParseCutsOverlongTextAtTheFieldLimit) {
    // The field holds 31 characters: a "+F5" beyond them is never seen.
    std::string long_text = std::string(31, 'x') + "+F5";
    EXPECT_EQ(parse_hotkey_text(long_text.c_str()), (IntPair{0, 0}));
    EXPECT_EQ(parse_hotkey_text(long_text.substr(3).c_str()), (IntPair{0, 116}));
}

// A fake keyboard that records the order of the queries.
struct FakeKeys {
    std::vector<int> held;
    std::vector<int> asked;
};

bool fake_pressed(int vk, void* context) {
    auto* keys = static_cast<FakeKeys*>(context);
    keys->asked.push_back(vk);
    for (int h : keys->held)
        if (h == vk) return true;
    return false;
}

PolledKeys poll(std::vector<int> held, std::vector<int>* asked = nullptr) {
    FakeKeys keys{std::move(held), {}};
    PolledKeys result = poll_hotkey_keys(fake_pressed, &keys);
    if (asked) *asked = keys.asked;
    return result;
}

TEST(DialogHotkeyPoll, RecognisesOneModifierByPriorityAndTheFirstKey) {
    PolledKeys k = poll({16, 17, 'A'}); // Ctrl+Shift+A counts as Ctrl+A
    EXPECT_EQ(k.modifier, 17);
    EXPECT_EQ(k.key, 'A');
    EXPECT_EQ(poll({16, 18}).modifier, 18); // Alt before Shift
    EXPECT_EQ(poll({16}).modifier, 16);
    EXPECT_EQ(poll({}).modifier, 0);
    EXPECT_EQ(poll({}).key, 0);
    EXPECT_EQ(poll({'5', 'B', 114}).key, 114); // F keys before letters
    EXPECT_EQ(poll({'5', 'B'}).key, 'B');      // letters before digits
    EXPECT_EQ(poll({'9', '5'}).key, '5');      // lowest code first
    EXPECT_EQ(poll({123, 112}).key, 112);
    EXPECT_EQ(poll({'Z', 'C'}).key, 'C');
}

TEST(DialogHotkeyPoll, AsksNoFurtherKeysThanItNeeds) {
    std::vector<int> asked;
    poll({17, 112}, &asked);
    EXPECT_EQ(asked, (std::vector<int>{17, 112}));

    poll({18, 'A'}, &asked);
    ASSERT_GE(asked.size(), 2u);
    EXPECT_EQ(asked[0], 17);
    EXPECT_EQ(asked[1], 18);
    EXPECT_EQ(asked.back(), 'A');
    EXPECT_EQ(asked.size(), 2u + 12u + 1u); // Ctrl, Alt, F1..F12, A

    poll({}, &asked);
    EXPECT_EQ(asked.size(), 3u + 12u + 26u + 10u);
}

std::string shown(PolledKeys now, PolledKeys last) {
    char buf[kHotkeyTextSize];
    if (!polled_hotkey_text(now, last, buf, sizeof buf)) return "(kept)";
    return buf;
}

TEST(DialogHotkeyPoll, FieldShowsNewCombinationsOnly) {
    // Ctrl held, then F5 pressed with it, then both still held.
    EXPECT_EQ(shown({17, 0}, {0, 0}), "Ctrl");
    EXPECT_EQ(shown({17, 116}, {17, 0}), "Ctrl+F5");
    EXPECT_EQ(shown({17, 116}, {17, 116}), "(kept)");
    // Everything released: the field keeps the last combination.
    EXPECT_EQ(shown({0, 0}, {17, 116}), "(kept)");
    // A letter or digit alone is no hotkey; an F key alone is.
    EXPECT_EQ(shown({0, 'A'}, {0, 0}), "(kept)");
    EXPECT_EQ(shown({0, '3'}, {0, 0}), "(kept)");
    EXPECT_EQ(shown({0, 118}, {0, 0}), "F7");
    // Modifier released in the same poll period as the key went down.
    EXPECT_EQ(shown({0, 'A'}, {16, 0}), "Shift+A");
    EXPECT_EQ(shown({0, 116}, {18, 0}), "Alt+F5");
    // A new modifier with the same key still held rewrites the text.
    EXPECT_EQ(shown({18, 'Q'}, {17, 'Q'}), "Alt+Q");
}

} // namespace
