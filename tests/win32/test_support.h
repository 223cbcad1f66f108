// Helpers shared by the Win32 tests: the one message pump and deadline wait,
// the resets of the settings and the loupe's runtime state between tests,
// pixel buffers that can be read back, a known test pattern and real windows
// that paint it.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <gtest/gtest.h>

namespace test_support {

// A 24-bit top-down DIB section selected into its own memory DC.
class Dib24 {
  public:
    Dib24(int width, int height);
    ~Dib24();
    Dib24(const Dib24&) = delete;
    Dib24& operator=(const Dib24&) = delete;

    HDC dc() const { return dc_; }
    int width() const { return width_; }
    int height() const { return height_; }
    int stride() const { return (3 * width_ + 3) & ~3; }
    BYTE* bits() const { return bits_; }
    // 0x00BBGGRR of pixel (x, y), after flushing pending GDI work.
    COLORREF at(int x, int y) const;
    void set(int x, int y, COLORREF colour);
    void fill(COLORREF colour);

  private:
    int width_;
    int height_;
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ previous_ = nullptr;
    BYTE* bits_ = nullptr;
};

// A colour that differs from its neighbours in every channel, so shifts and
// swapped channels show. Used for capture blocks and window contents alike.
COLORREF pattern(int x, int y);
// Bitwise inverse of the colour's three bytes.
COLORREF inverted(COLORREF colour);
// The same gray the renderer must produce, through the pure arithmetic.
COLORREF grayed(COLORREF colour);

// The settings record as it is before loading, and an empty rule table.
void reset_settings();
// The loupe's runtime values as they are before start-up (hidden, no
// tooltip, no snapshot, the first tick still to come), on a system with
// layered windows and with the virtual screen read as start-up reads it.
void reset_runtime_state();
// The settings the drawing layer reads at their defaults (size 37,37,
// magnify 300, marker on, rectangular, no gray, inversion or smoothing, point
// information off) with the derived values recomputed,
// and the loupe's runtime state reset (no buffers, no tooltip, hidden).
void reset_engine_state();
// Work buffers for the current settings made the way the loupe makes them:
// capture block (size + 3) filled with pattern(bx, by), plus source and zoom
// buffers when gray or smoothing asks for them; and the four frame pens.
void create_engine_buffers();
// Writes pattern(bx + dx, by + dy) into every pixel of the capture buffer.
void fill_capture_with_pattern(int width, int height, int dx = 0, int dy = 0);
// Releases everything create_engine_buffers made.
void release_engine_buffers();

// The check mark and the grayed state of a command in the loupe's popup menu.
bool item_checked(UINT id);
bool item_grayed(UINT id);

// A hidden popup window of the given client size (no border, no caption).
// The paint fills it with pattern() when `paints_pattern`, else with `colour`.
HWND create_popup(int x, int y, int width, int height, bool paints_pattern, COLORREF colour = 0,
                  DWORD ex_style = WS_EX_TOPMOST | WS_EX_TOOLWINDOW);

// Whether two regions cover the same pixels. (EqualRgn compares the stored
// rectangles, and under Wine a window region comes back split differently.)
bool same_region(HRGN a, HRGN b);

// A window painting pattern() on a thread of its own with its own message
// loop, as a window of another program would be: it repaints by itself
// while the test thread is busy. The constructor returns once the screen
// shows it (failing the test otherwise); the destructor closes it.
class ForeignPatternWindow {
  public:
    ForeignPatternWindow(int x, int y, int width, int height);
    ~ForeignPatternWindow();
    ForeignPatternWindow(const ForeignPatternWindow&) = delete;
    ForeignPatternWindow& operator=(const ForeignPatternWindow&) = delete;
    // Its thread stops taking messages for that long, as a busy program's
    // does; returns once it has stopped.
    void stall(DWORD ms);

  private:
    static DWORD WINAPI run(void* self);
    int x_, y_, width_, height_;
    HANDLE created_ = nullptr;
    HANDLE stalled_ = nullptr;
    HANDLE thread_ = nullptr;
    DWORD thread_id_ = 0;
};

// How long a wait for something that must happen may last. Generous: on a
// busy machine a thread, a repaint or a timer can lag for seconds, and a
// wait ends as soon as its condition holds.
constexpr DWORD kPatience = 20000;

// Dispatches pending messages of this thread.
void pump_messages();
// Pumps messages until the condition holds or the deadline passes.
bool wait_until(const std::function<bool()>& condition, DWORD timeout_ms = kPatience);
// Waits for an event or a thread's end, pumping messages meanwhile: the other
// thread may first send a message to a window of this one (activation,
// ownership) and would wait for us as we wait for it.
bool wait_for_object(HANDLE object, DWORD timeout_ms = kPatience);
// The clipboard's CF_TEXT ("" when it has none).
std::string clipboard_text();
// 0x00BBGGRR of the screen pixel (x, y), read from the desktop window's DC.
COLORREF screen_pixel(int x, int y);

// The current display count of the cursor, read without changing it.
int cursor_display_count();
// Moves the display count to exactly `count`.
void set_cursor_display_count(int count);

} // namespace test_support
