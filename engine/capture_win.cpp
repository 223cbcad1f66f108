// Getting screen pixels into the capture buffer.
//
// A capture block of cw x ch screen pixels is stored with one pixel of margin
// on the left and top and two on the right and bottom, (cw + 3) x (ch + 3) in
// all, so that the interpolation always finds its neighbours. Where the
// screen is not (off the edge of the virtual screen) the block stays dark gray.
//
// The loupe must not magnify itself: loupe/capture_mode.h says which way the
// screen is copied (live, through a peep hole, or not at all: a snapshot).
#include "engine/capture.h"

#include "engine/shape.h"
#include "loupe/buffers.h"
#include "loupe/state.h"
#include "settings/settings.h"

DWORD screen_raster_op() {
    return settings.layered ? (SRCCOPY | CAPTUREBLT) : SRCCOPY;
}

void take_screen_snapshot() {
    const int width = geometry.virtual_screen.right - geometry.virtual_screen.left;
    const int height = geometry.virtual_screen.bottom - geometry.virtual_screen.top;
    HWND desktop = GetDesktopWindow();
    HDC screen = GetDC(desktop);
    // The whole buffer, margins included, in buffer coordinates: the virtual
    // screen's own rectangle would miss the right and bottom margins, and
    // most of the buffer when a monitor lies left of or above the primary.
    RECT whole = {0, 0, width + 3, height + 3};
    FillRect(capture_dc, &whole, static_cast<HBRUSH>(GetStockObject(DKGRAY_BRUSH)));
    BitBlt(capture_dc, 1, 1, width, height, screen, geometry.virtual_screen.left,
           geometry.virtual_screen.top, screen_raster_op());
    ReleaseDC(desktop, screen);
}

// Fills the capture block dark gray and copies into it the part of the
// screen area that lies on the virtual screen. A copy whose source reaches
// beyond the screen can come back black as a whole (not just the part
// outside), which would blank the loupe whenever the cursor nears an edge;
// copying only the part on the screen keeps the rest dark gray instead.
static void copy_block(HDC screen, int block_w, int block_h, DWORD rop) {
    RECT block = {0, 0, block_w, block_h};
    FillRect(capture_dc, &block, static_cast<HBRUSH>(GetStockObject(DKGRAY_BRUSH)));
    const int left = tick_memory.capture_origin.x - 1;
    const int top = tick_memory.capture_origin.y - 1;
    const RECT area = {left, top, left + block_w, top + block_h};
    RECT part;
    if (!IntersectRect(&part, &area, &geometry.virtual_screen)) return;
    BitBlt(capture_dc, part.left - left, part.top - top, part.right - part.left,
           part.bottom - part.top, screen, part.left, part.top, rop);
}

// The window's present outline as a fresh region in window coordinates.
static HRGN current_outline(HWND loupe) {
    if (loupe_is_round()) {
        HRGN outline = CreateRectRgn(0, 0, 0, 0);
        if (GetWindowRgn(loupe, outline) != ERROR) return outline;
        // No region set (yet): an empty outline would leave the window
        // nothing but the hole, so treat it as the plain rectangle.
        DeleteObject(outline);
    }
    // The rectangle reaches past the window's right and bottom edges; the
    // system clips a window's region to the window, so that part does nothing.
    constexpr int kPastEdge = 4;
    RECT window_rect;
    GetWindowRect(loupe, &window_rect);
    return CreateRectRgn(0, 0, window_rect.right - window_rect.left + kPastEdge,
                         window_rect.bottom - window_rect.top + kPastEdge);
}

// How long one capture waits at most for the windows under the peep hole; a
// window that has not answered by then is copied as it is.
constexpr DWORD kRepaintWaitMs = 100;

// Waits until the windows under the hole (a screen rectangle) have repainted
// what it uncovered. They belong to other threads, which repaint when they
// get to it; until then the screen shows there the loupe's old pixels (or,
// under Wine, black), which a blind Sleep(1) did not outlast. Reading the
// screen first makes the new window region reach the display. Then each
// window below that meets the hole gets a message round trip (its thread has
// taken the exposure), more while it still has something to paint (a window
// paints only when its queue is otherwise empty) and one last one, which its
// thread takes only after that paint. A window shows its drawing once its
// thread waits for messages again (Wine copies it to the display then), so
// the processor is yielded once more at the end. Windows of this thread
// cannot paint before the tick returns.
static void wait_for_repaint_below(HWND loupe, HDC screen, const RECT& hole) {
    RECT on_screen;
    if (!IntersectRect(&on_screen, &hole, &geometry.virtual_screen))
        return; // nothing will be copied
    GetPixel(screen, on_screen.left, on_screen.top);
    const DWORD start = GetTickCount();
    auto round_trip = [start](HWND window) {
        const DWORD spent = GetTickCount() - start;
        DWORD_PTR result;
        return spent < kRepaintWaitMs &&
               SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, kRepaintWaitMs - spent,
                                   &result) != 0;
    };
    for (HWND below = GetWindow(loupe, GW_HWNDNEXT); below; below = GetWindow(below, GW_HWNDNEXT)) {
        RECT rect, shared;
        if (!IsWindowVisible(below) || !GetWindowRect(below, &rect) ||
            !IntersectRect(&shared, &rect, &on_screen) ||
            GetWindowThreadProcessId(below, nullptr) == GetCurrentThreadId())
            continue;
        if (round_trip(below)) {
            while (GetUpdateRect(below, nullptr, FALSE) && round_trip(below)) {
            }
            round_trip(below);
        }
        if (EqualRect(&shared, &on_screen)) break; // it covers the hole: nothing lower shows
    }
    Sleep(1);
}

static void capture_through_peep_hole(HWND loupe, HDC screen, int block_w, int block_h, DWORD rop) {
    HRGN outline = current_outline(loupe);
    POINT corner = {tick_memory.capture_origin.x - 1, tick_memory.capture_origin.y - 1};
    ScreenToClient(loupe, &corner);
    HRGN hole = CreateRectRgn(corner.x, corner.y, corner.x + block_w, corner.y + block_h);
    // Cuts the hole out; parts of the hole outside the outline are added,
    // which does no harm for the moment of the copy.
    CombineRgn(outline, outline, hole, RGN_XOR);
    DeleteObject(hole);
    if (!SetWindowRgn(loupe, outline, TRUE)) DeleteObject(outline); // else the window owns it
    const RECT hole_on_screen = {tick_memory.capture_origin.x - 1, tick_memory.capture_origin.y - 1,
                                 tick_memory.capture_origin.x - 1 + block_w,
                                 tick_memory.capture_origin.y - 1 + block_h};
    wait_for_repaint_below(loupe, screen, hole_on_screen);
    copy_block(screen, block_w, block_h, rop);
    if (loupe_is_round()) {
        // The content is still right: no black fill, which would flicker
        // until the next paint on every capture.
        apply_round_region(loupe);
    } else {
        SetWindowRgn(loupe, nullptr, TRUE);
    }
}

void capture_tick_area(HWND loupe) {
    const int block_w = settings.size.x + 3;
    const int block_h = settings.size.y + 3;
    const DWORD rop = screen_raster_op();
    const bool direct = settings.loupe == 0 || live_copy_leaves_loupe_out();
    // A snapshot: the buffer already holds it.
    if (!direct &&
        snapshot_mode_for(settings.loupetype, settings.layered, startup.layered_supported))
        return;

    HWND desktop = GetDesktopWindow();
    HDC screen = GetDC(desktop);
    if (direct) {
        copy_block(screen, block_w, block_h, rop);
    } else {
        capture_through_peep_hole(loupe, screen, block_w, block_h, rop);
    }
    ReleaseDC(desktop, screen);
}
