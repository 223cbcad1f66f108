// The capture rules and the work buffers they ask for.
#include <gtest/gtest.h>

#include "loupe/buffer_needs.h"
#include "loupe/capture_mode.h"

namespace {

TEST(LoupeCaptureMode, SnapshotModeAndCaptureSize) {
    // loupetype 0 (snapshot) counts only when the live copy would show the loupe itself.
    EXPECT_TRUE(snapshot_mode_for(0, 0, 0));
    EXPECT_TRUE(snapshot_mode_for(0, 1, 1));
    EXPECT_FALSE(snapshot_mode_for(0, 0, 1));
    EXPECT_FALSE(snapshot_mode_for(1, 1, 1));
    EXPECT_FALSE(snapshot_mode_for(1, 0, 0));

    IntPair size = {41, 31}, screen = {1024, 768};
    auto capture = [&](int32_t loupe, bool snapshot_mode) {
        return buffer_needs(size, {82, 62}, 0, 0, capture_is_snapshot(loupe, snapshot_mode), screen)
            .capture;
    };
    EXPECT_EQ(capture(1, true), (IntPair{1027, 771}));
    EXPECT_EQ(capture(1, false), (IntPair{44, 34}));
    EXPECT_EQ(capture(0, true), (IntPair{44, 34}));
}

TEST(LoupeBufferNeeds, SmoothingAndGrayDecideWhichBuffersExist) {
    struct Row {
        int32_t smooth, gray;
        bool source, zoom;
    } rows[] = {
        {1, 0, true, true},
        {2, 1, true, true},
        {0, 1, true, false}, // gray alone has a source
        {0, 0, false, false},
    };
    for (const Row& row : rows) {
        BufferNeeds needs = buffer_needs({9, 7}, {27, 21}, row.smooth, row.gray, false, {800, 600});
        EXPECT_EQ(needs.source, row.source) << row.smooth << row.gray;
        EXPECT_EQ(needs.zoom, row.zoom) << row.smooth << row.gray;
        EXPECT_EQ(needs.capture_dib, row.smooth != 0);
        EXPECT_EQ(needs.source_box, (IntPair{12, 10}));
    }
}

} // namespace
