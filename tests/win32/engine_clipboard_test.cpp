// Copying the magnified image to the clipboard: the CF_DIB block's layout,
// its pixels against what the loupe paints, and a clipboard held by someone
// else; and copying the colour of the loupe's point as text.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "engine/clipboard.h"
#include "engine/colour_copy.h"
#include "engine/shape.h"
#include "loupe/buffers.h"
#include "loupe/state.h"
#include "platform/message_box.h"
#include "resources/texts.h"
#include "settings/settings.h"
#include "tests/win32/test_support.h"

using namespace test_support;

namespace {

struct BoxCall {
    HWND owner;
    std::string text;
    std::string caption;
    UINT type;
};
std::vector<BoxCall> box_calls;

int record_box(HWND owner, const char* text, const char* caption, UINT type) {
    box_calls.push_back({owner, text, caption, type});
    return IDOK;
}

// Text placed on the clipboard by a window of its own.
void put_text_on_clipboard(HWND owner, const char* text) {
    ASSERT_TRUE(OpenClipboard(owner));
    EmptyClipboard();
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, std::strlen(text) + 1);
    std::memcpy(GlobalLock(block), text, std::strlen(text) + 1);
    GlobalUnlock(block);
    SetClipboardData(CF_TEXT, block);
    CloseClipboard();
}

std::wstring clipboard_unicode_text() {
    std::wstring text;
    if (!OpenClipboard(nullptr)) return L"(clipboard busy)";
    if (HANDLE block = GetClipboardData(CF_UNICODETEXT)) {
        text = static_cast<const wchar_t*>(GlobalLock(block));
        GlobalUnlock(block);
    }
    CloseClipboard();
    return text;
}

std::vector<BYTE> clipboard_dib() {
    std::vector<BYTE> bytes;
    if (!OpenClipboard(nullptr)) return bytes;
    if (HANDLE block = GetClipboardData(CF_DIB)) {
        const BYTE* p = static_cast<const BYTE*>(GlobalLock(block));
        bytes.assign(p, p + GlobalSize(block));
        GlobalUnlock(block);
    }
    CloseClipboard();
    return bytes;
}

template <typename T> T field(const std::vector<BYTE>& bytes, size_t offset) {
    T value;
    std::memcpy(&value, &bytes[offset], sizeof(T));
    return value;
}

class ClipboardTest : public ::testing::Test {
  protected:
    void SetUp() override {
        reset_engine_state();
        box_calls.clear();
        previous_hook_ = set_message_box_hook(record_box);
        loupe_ = create_popup(0, 0, 115, 115, false);
        other_ = create_popup(0, 0, 10, 10, false);
    }
    void TearDown() override {
        set_message_box_hook(previous_hook_);
        clipboard_retry_pause = Sleep;
        DestroyWindow(loupe_);
        DestroyWindow(other_);
        release_engine_buffers();
    }

    // The loupe as the paint draws it (without marker), into a fresh image.
    std::unique_ptr<Dib24> painted_loupe() {
        const int marker = settings.marker;
        settings.marker = 0;
        const IntPair window = loupe_window_size(zoomed_size);
        auto image = std::make_unique<Dib24>(window.x, window.y);
        SetWindowPos(loupe_, nullptr, 0, 0, window.x, window.y,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        paint_loupe(loupe_, image->dc());
        settings.marker = marker;
        return image;
    }

    MessageBoxHook previous_hook_ = nullptr;
    HWND loupe_ = nullptr;
    HWND other_ = nullptr;
};

TEST_F(ClipboardTest, DefaultImageIsA32BitBottomUpDibOf49324Bytes) {
    create_engine_buffers();
    copy_image_to_clipboard(loupe_);
    EXPECT_TRUE(box_calls.empty());
    const std::vector<BYTE> dib = clipboard_dib();
    ASSERT_EQ(49324u, dib.size());
    EXPECT_EQ(40u, field<DWORD>(dib, 0));
    EXPECT_EQ(111, field<LONG>(dib, 4));
    EXPECT_EQ(111, field<LONG>(dib, 8)); // positive: bottom-up
    EXPECT_EQ(1, field<WORD>(dib, 12));
    EXPECT_EQ(32, field<WORD>(dib, 14));
    for (size_t offset = 16; offset < 40; offset += 4)
        EXPECT_EQ(0u, field<DWORD>(dib, offset));
    // First pixel stored is the bottom-left one: area pixel (0, 36).
    EXPECT_EQ(GetBValue(pattern(1, 37)), dib[40]);
    EXPECT_EQ(GetGValue(pattern(1, 37)), dib[41]);
    EXPECT_EQ(GetRValue(pattern(1, 37)), dib[42]);
}

TEST_F(ClipboardTest, ImageEqualsTheLoupesInsideWithoutFrameOrMarker) {
    struct Case {
        int invert, gray, smooth, magnify, glass;
    };
    const Case cases[] = {{0, 0, 0, 300, 0}, {1, 0, 0, 300, 0}, {0, 1, 0, 250, 0},
                          {1, 1, 1, 300, 0}, {0, 0, 2, 175, 0}, {1, 0, 2, 300, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "invert " << c.invert << " gray " << c.gray << " smooth " << c.smooth
                     << " magnify " << c.magnify << " glass " << c.glass);
        release_engine_buffers();
        settings.invertbmp = c.invert;
        settings.graybmp = c.gray;
        settings.smooth = c.smooth;
        settings.magnify = c.magnify;
        settings.marker = 1;
        settings.loupe = c.glass;
        settings.maruwin = {0, 0};
        create_engine_buffers();
        if (c.glass) {
            // Magnifying-glass mode from a snapshot: the area is read at the
            // cursor's place inside a screen-sized buffer.
            geometry.snapshot_mode = 1;
            geometry.virtual_screen = {-30, 0, 170, 120};
            tick_memory.capture_origin = {40, 50};
            recreate_capture_buffer(203, 123);
            fill_capture_with_pattern(203, 123, -70, -50);
        }
        const auto painted = painted_loupe();
        copy_image_to_clipboard(loupe_);
        const std::vector<BYTE> dib = clipboard_dib();
        const int w = zoomed_size.x, h = zoomed_size.y;
        ASSERT_EQ(40u + 4u * w * h, dib.size());
        int wrong = 0;
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                const BYTE* p = &dib[40 + 4 * ((h - 1 - y) * w + x)];
                if (RGB(p[2], p[1], p[0]) != painted->at(x + 2, y + 2)) ++wrong;
            }
        }
        EXPECT_EQ(0, wrong);
        // And that image is the capture, not some constant.
        const COLORREF corner = c.invert ? inverted(pattern(1, 1)) : pattern(1, 1);
        if (!c.gray) {
            EXPECT_EQ(corner, painted->at(2, 2));
        }
    }
    EXPECT_TRUE(box_calls.empty());
}

TEST_F(ClipboardTest, CopyReplacesWhatWasOnTheClipboard) {
    create_engine_buffers();
    put_text_on_clipboard(other_, "earlier text");
    ASSERT_EQ("earlier text", clipboard_text());
    copy_image_to_clipboard(loupe_);
    EXPECT_TRUE(IsClipboardFormatAvailable(CF_DIB));
    EXPECT_FALSE(IsClipboardFormatAvailable(CF_TEXT));
    // A second copy (Ctrl+PrintScreen repeats while held) works as well.
    copy_image_to_clipboard(loupe_);
    EXPECT_EQ(49324u, clipboard_dib().size());
    EXPECT_TRUE(box_calls.empty());
}

// Another program holding the clipboard open: a thread of its own with a
// window of its own (two callers without windows may both open it). It holds
// the clipboard from construction until release() or destruction.
class ClipboardHolder {
  public:
    ClipboardHolder() {
        thread_ = CreateThread(nullptr, 0, run, this, 0, nullptr);
        holds_ = wait_for_object(opened_) && opened_clipboard_;
    }
    ~ClipboardHolder() {
        release();
        CloseHandle(opened_);
        CloseHandle(release_);
    }
    ClipboardHolder(const ClipboardHolder&) = delete;
    ClipboardHolder& operator=(const ClipboardHolder&) = delete;

    bool holds() const { return holds_; } // OpenClipboard succeeded in time
    void release() {
        if (!thread_) return;
        SetEvent(release_);
        wait_for_object(thread_);
        CloseHandle(thread_);
        thread_ = nullptr;
    }

  private:
    static DWORD WINAPI run(void* parameter) {
        auto* self = static_cast<ClipboardHolder*>(parameter);
        HWND window = create_popup(0, 0, 10, 10, false);
        self->opened_clipboard_ = OpenClipboard(window) != FALSE;
        SetEvent(self->opened_);
        WaitForSingleObject(self->release_, INFINITE);
        if (self->opened_clipboard_) CloseClipboard();
        DestroyWindow(window);
        return 0;
    }
    HANDLE opened_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE release_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE thread_ = nullptr;
    bool opened_clipboard_ = false, holds_ = false;
};

TEST_F(ClipboardTest, BusyClipboardShowsTheMessageAndKeepsItsContent) {
    for (auto copy : {copy_image_to_clipboard, copy_colour_to_clipboard}) {
        box_calls.clear();
        release_engine_buffers();
        create_engine_buffers();
        put_text_on_clipboard(other_, "earlier text");
        ClipboardHolder holder;
        ASSERT_TRUE(holder.holds());

        copy(loupe_);
        holder.release();

        ASSERT_EQ(1u, box_calls.size());
        EXPECT_EQ(loupe_, box_calls[0].owner); // so a tray click can bring it to the front
        EXPECT_EQ(texts::kClipboardBusy, box_calls[0].text);
        EXPECT_EQ(texts::kAppName, box_calls[0].caption);
        EXPECT_EQ(static_cast<UINT>(MB_OK), box_calls[0].type);
        EXPECT_EQ("earlier text", clipboard_text());
        EXPECT_FALSE(IsClipboardFormatAvailable(CF_DIB));
    }
}

// The colour of the point as the capture holds it, whatever the paint then
// does with it; as ANSI and Unicode text, in place of what was there.
TEST_F(ClipboardTest, ColourCopyIsTheCapturedPixelAtThePointAsText) {
    struct Case {
        int hex, gray, invert, smooth, glass;
    };
    const Case cases[] = {
        {0, 0, 0, 0, 0}, {1, 0, 0, 0, 0}, {1, 1, 1, 2, 0}, {0, 0, 1, 0, 1}, {1, 1, 0, 1, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "hex " << c.hex << " gray " << c.gray << " invert " << c.invert
                     << " smooth " << c.smooth << " glass " << c.glass);
        release_engine_buffers();
        settings.hexcolor = c.hex;
        settings.graybmp = c.gray;
        settings.invertbmp = c.invert;
        settings.smooth = c.smooth;
        settings.loupe = c.glass;
        geometry.snapshot_mode = 0;
        tick_memory.capture_origin = {0, 0};
        create_engine_buffers();
        if (c.glass) {
            // The snapshot: the point is read inside a screen-sized buffer.
            geometry.snapshot_mode = 1;
            geometry.virtual_screen = {-30, 0, 170, 120};
            tick_memory.capture_origin = {40, 50};
            recreate_capture_buffer(203, 123);
            fill_capture_with_pattern(203, 123, -70, -50);
        }
        put_text_on_clipboard(other_, "earlier text");
        copy_colour_to_clipboard(loupe_);
        // Both ways the point's pixel is pattern(19, 19): the block's centre
        // behind its one-pixel margin.
        const COLORREF want = pattern(19, 19);
        char text[16];
        std::snprintf(text, sizeof text, c.hex ? "#%02X%02X%02X" : "%d, %d, %d", GetRValue(want),
                      GetGValue(want), GetBValue(want));
        EXPECT_EQ(text, clipboard_text());
        EXPECT_EQ(std::wstring(text, text + std::strlen(text)), clipboard_unicode_text());
        EXPECT_FALSE(IsClipboardFormatAvailable(CF_DIB));
    }
    EXPECT_TRUE(box_calls.empty());
}

// A clipboard manager holds the clipboard for a moment after each change.
ClipboardHolder* releasing_holder = nullptr;
int retry_pauses = 0;
void WINAPI release_holder_on_pause(DWORD) {
    ++retry_pauses;
    releasing_holder->release();
}

TEST_F(ClipboardTest, ClipboardHeldForAMomentStillTakesTheCopy) {
    create_engine_buffers();
    ClipboardHolder holder;
    ASSERT_TRUE(holder.holds());
    releasing_holder = &holder;
    clipboard_retry_pause = release_holder_on_pause;
    copy_image_to_clipboard(loupe_);
    EXPECT_EQ(1, retry_pauses);
    EXPECT_TRUE(box_calls.empty());
    EXPECT_EQ(49324u, clipboard_dib().size());
}

TEST_F(ClipboardTest, AnImageThatCannotBeMadeIsToldAndTheClipboardKept) {
    create_engine_buffers();
    put_text_on_clipboard(other_, "earlier text");
    zoomed_size = {30000, 30000}; // 3.6 GB: more than a 32-bit process can have
    copy_image_to_clipboard(loupe_);
    ASSERT_EQ(1u, box_calls.size());
    EXPECT_EQ(texts::kImageTooLarge, box_calls[0].text);
    EXPECT_EQ("earlier text", clipboard_text());
}

// A copy asked again while the busy message is open (its message loop
// dispatches our messages) gives no second box.
HWND reentering_loupe = nullptr;
int reentering_box(HWND owner, const char* text, const char* caption, UINT type) {
    int result = record_box(owner, text, caption, type);
    copy_image_to_clipboard(reentering_loupe);
    copy_image_to_clipboard(reentering_loupe);
    return result;
}

TEST_F(ClipboardTest, BusyClipboardGivesOneMessageEvenWhenTheCopyIsAskedAgainMeanwhile) {
    create_engine_buffers();
    ClipboardHolder holder;
    ASSERT_TRUE(holder.holds());

    reentering_loupe = loupe_;
    set_message_box_hook(reentering_box);
    copy_image_to_clipboard(loupe_);
    EXPECT_EQ(1u, box_calls.size());

    // Once dismissed, the next busy copy reports again.
    copy_image_to_clipboard(loupe_);
    EXPECT_EQ(2u, box_calls.size());
}

} // namespace
