// Loading [option]: defaults, normalisations and the pair-key rules.
#include "tests/native/settings_test_support.h"

using LoadSettings = SettingsFileTest;

TEST_F(LoadSettings, MissingFileGivesTheDefaults) {
    load_settings();
    EXPECT_EQ(settings.size, (IntPair{37, 37}));
    EXPECT_EQ(half_size, (IntPair{18, 18}));
    EXPECT_FLOAT_EQ(size_aspect, 1.0f);
    EXPECT_EQ(settings.magnify, 300);
    EXPECT_EQ(compute_zoomed_size(settings.size, settings.magnify), (IntPair{111, 111}));
    EXPECT_EQ(settings.position, (IntPair{16, 135}));
    EXPECT_EQ(settings.interval, 10);
    EXPECT_EQ(settings.hotkey, (IntPair{17, 0}));
    EXPECT_EQ(settings.maruwin, (IntPair{0, 1}));
    EXPECT_EQ(settings.ttdisp, 1);
    EXPECT_EQ(settings.visible, 1);
    EXPECT_EQ(settings.toggledef, 1);
    EXPECT_EQ(settings.marker, 1);
    EXPECT_EQ(settings.waddjust, 10);
    EXPECT_EQ(settings.gridzoom, 800);
    EXPECT_EQ(settings.freezekey, 19);
    for (int32_t Settings::*off :
         {&Settings::loupe, &Settings::loupetype, &Settings::layered, &Settings::addhole,
          &Settings::graybmp, &Settings::invertbmp, &Settings::winset, &Settings::smooth,
          &Settings::posat, &Settings::hexcolor, &Settings::caret, &Settings::grid}) {
        EXPECT_EQ(settings.*off, 0);
    }
    EXPECT_EQ(rule_count(), 0);
}

TEST_F(LoadSettings, EveryKeyIsReadFromItsOwnLine) {
    load_from("[option]\nsize=21,15\nmagnify=450\nposition=30,200\ninterval=25\nttdisp=0\n"
              "hotkey=16,112\nloupe=1\nloupetype=1\nlayered=1\nvisible=2\ntoggledef=0\n"
              "marker=0\naddhole=1\ngraybmp=1\ninvertbmp=1\nwinset=1\nsmooth=2\nposat=3\n"
              "waddjust=25\nmaruwin=1,0\nhexcolor=1\ncaret=1\n"
              "grid=1\ngridzoom=400\nfreezekey=0\n");
    EXPECT_EQ(settings.size, (IntPair{21, 15}));
    EXPECT_EQ(settings.magnify, 450);
    EXPECT_EQ(settings.position, (IntPair{30, 200}));
    EXPECT_EQ(settings.interval, 25);
    EXPECT_EQ(settings.ttdisp, 0);
    EXPECT_EQ(settings.hotkey, (IntPair{16, 112}));
    EXPECT_EQ(settings.loupe, 1);
    EXPECT_EQ(settings.loupetype, 1);
    EXPECT_EQ(settings.layered, 1);
    EXPECT_EQ(settings.visible, 2);
    EXPECT_EQ(settings.toggledef, 0);
    EXPECT_EQ(settings.marker, 0);
    EXPECT_EQ(settings.addhole, 1);
    EXPECT_EQ(settings.graybmp, 1);
    EXPECT_EQ(settings.invertbmp, 1);
    EXPECT_EQ(settings.winset, 1);
    EXPECT_EQ(settings.smooth, 2);
    EXPECT_EQ(settings.posat, 3);
    EXPECT_EQ(settings.waddjust, 25);
    EXPECT_EQ(settings.maruwin, (IntPair{1, 0}));
    EXPECT_EQ(settings.hexcolor, 1);
    EXPECT_EQ(settings.caret, 1);
    EXPECT_EQ(settings.grid, 1);
    EXPECT_EQ(settings.gridzoom, 400);
    EXPECT_EQ(settings.freezekey, 0);
    EXPECT_EQ(half_size, (IntPair{10, 7}));
    EXPECT_FLOAT_EQ(size_aspect, 15.0f / 21.0f);
}

TEST_F(LoadSettings, EvenSizeIsMadeOddAndAspectIsAFloat) {
    load_from("[option]\nsize=36,40\n");
    EXPECT_EQ(settings.size, (IntPair{37, 41}));
    EXPECT_EQ(half_size, (IntPair{18, 20}));
    EXPECT_FLOAT_EQ(size_aspect, 37.0f / 41.0f);
}

TEST_F(LoadSettings, ZeroEmptyAndSingleNumberSizes) {
    load_from("[option]\nsize=0,0\n");
    EXPECT_EQ(settings.size, (IntPair{1, 1}));

    load_from("[option]\nsize=\n");
    EXPECT_EQ(settings.size, (IntPair{1, 1})) << "empty keeps the initial 0,0, made odd";

    load_from("[option]\nsize=50\n");
    EXPECT_EQ(settings.size, (IntPair{51, 1}));
    EXPECT_EQ(half_size, (IntPair{25, 0}));
    EXPECT_FLOAT_EQ(size_aspect, 1.0f / 51.0f);
}

TEST_F(LoadSettings, PairValueNotStartingWithANumberSetsNeither) {
    load_from("[option]\nposition=abc,5\nhotkey=18;70\nmaruwin= 1, 1\n");
    EXPECT_EQ(settings.position, (IntPair{14, 14}));
    EXPECT_EQ(settings.hotkey, (IntPair{18, 0})) << "only the first number before a non-comma";
    EXPECT_EQ(settings.maruwin, (IntPair{1, 1})) << "blanks before each number are skipped";
}

TEST_F(LoadSettings, PositionEmptyKeepsInitialMissingTakesDefault) {
    load_from("[option]\nposition=\n");
    EXPECT_EQ(settings.position, (IntPair{14, 14}));
    load_from("[option]\nsize=37,37\n");
    EXPECT_EQ(settings.position, (IntPair{16, 135}));
}

TEST_F(LoadSettings, IntegerNormalisations) {
    struct Case {
        const char* text;
        int32_t Settings::*field;
        int32_t expected;
    } cases[] = {
        {"magnify=99", &Settings::magnify, 100},  {"magnify=2000", &Settings::magnify, 2000},
        {"magnify=abc", &Settings::magnify, 100}, {"visible=0", &Settings::visible, 3},
        {"visible=3", &Settings::visible, 3},     {"visible=9", &Settings::visible, 3},
        {"visible=2", &Settings::visible, 2},     {"visible=1", &Settings::visible, 1},
        {"smooth=3", &Settings::smooth, 0},       {"smooth=-1", &Settings::smooth, 0},
        {"smooth=1", &Settings::smooth, 1},       {"posat=4", &Settings::posat, 0},
        {"posat=3", &Settings::posat, 3},         {"posat=-2", &Settings::posat, 0},
        {"interval=0", &Settings::interval, 0},   {"waddjust=-5", &Settings::waddjust, -5},
        {"ttdisp=7", &Settings::ttdisp, 7},
    };
    for (const Case& c : cases) {
        load_from(std::string("[option]\n") + c.text + "\n");
        EXPECT_EQ(settings.*c.field, c.expected) << c.text;
    }
}

TEST_F(LoadSettings, EmptyIntegerValueTakesTheDefault) {
    load_from("[option]\nmagnify=\nmarker=\ninterval=\n");
    EXPECT_EQ(settings.magnify, 300);
    EXPECT_EQ(settings.marker, 1);
    EXPECT_EQ(settings.interval, 10);
}

TEST_F(LoadSettings, IntervalFallsBackOnTheFieldsValue) {
    settings.interval = 33;
    load_settings();
    EXPECT_EQ(settings.interval, 33);
}

TEST_F(LoadSettings, NegativeEvenSizesAreMadeOddThenRaisedToOne) {
    load_from("[option]\nsize=-4,-7\n");
    EXPECT_EQ(settings.size, (IntPair{1, 1}));
    EXPECT_EQ(half_size, (IntPair{0, 0}));
}

TEST_F(LoadSettings, HandEditedGiantsAreBoundedAfterNormalising) {
    load_from("[option]\nsize=99999999999,40000\nmagnify=2147483647\n");
    EXPECT_EQ(settings.size, (IntPair{kMaxSizeSide, kMaxSizeSide}));
    IntPair image = compute_zoomed_size(settings.size, settings.magnify);
    EXPECT_LE(image.x, kMaxImageSide);
    EXPECT_GT(image.x, 0);
    EXPECT_GE(settings.magnify, 100);
    EXPECT_EQ(half_size, (IntPair{4999, 4999}));
}

TEST_F(LoadSettings, OrdinaryDialogValuesAreNotBounded) {
    load_from("[option]\nsize=201,99\nmagnify=8000\n");
    EXPECT_EQ(settings.size, (IntPair{201, 99}));
    EXPECT_EQ(settings.magnify, 8000);
}

TEST_F(LoadSettings, OtherSectionsAndCaseOfNames) {
    load_from("[other]\nmagnify=500\n[OPTION]\nMagnify=400\n");
    EXPECT_EQ(settings.magnify, 400);
}
