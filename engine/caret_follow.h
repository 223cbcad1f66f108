// Following the text caret: the arithmetic of it, free of Windows so that it
// is tested natively. Where the caret stands on the screen (its rectangle
// checked and converted), who leads the loupe (the mouse or the caret), and
// where the view stands while the caret leads (a dead zone, then smooth
// moves). The reads are in caret_read_win.cpp, the tick's use in
// caret_tracking_win.cpp.
#pragma once
#include <cstdint>
#include "settings/settings.h"

// A rectangle in pixels, right and bottom exclusive.
struct PixelRect {
    int32_t left, top, right, bottom;
};

// ---- the caret's rectangle --------------------------------------------------

// Takes a point of a window from its physical pixels to its logical ones, or
// back (the window's own DPI awareness decides). False when it cannot.
using PointMap = bool (*)(IntPair* point, void* context);

// The caret's rectangle on the screen, in physical pixels. The caret is given
// in client coordinates of its window, in that window's logical pixels, and
// the client area's origin on the screen in physical pixels: the origin is
// taken to logical pixels, each corner added to it and taken back to
// physical ones. Without maps (systems without DPI scaling), or when a map
// fails, the corners are added to the origin as they are.
PixelRect caret_rect_on_screen(PixelRect client_caret, IntPair client_origin, PointMap to_logical,
                               PointMap to_physical, void* context);

// Whether a caret rectangle can be followed: at least one pixel high, not of
// negative width, and its point (see caret_point) inside its window's
// rectangle. A caret that sticks out of its window is cut to it.
bool fit_caret_to_window(PixelRect* caret, PixelRect window);

// The point the loupe follows of a caret: its left edge, halfway down.
IntPair caret_point(PixelRect caret);

// The point followed for a focused control that has no caret: its left part,
// as much of it as the captured area (`area`) holds, so that the start of
// its text shows. False for an empty control or one more than twice the
// captured area on either side (a list or a page: its corner says nothing).
bool focus_point(PixelRect control, IntPair area, IntPair* point);

// ---- where the view stands while the caret leads --------------------------

// The caret may wander this share of the captured area's width or height
// (each way) from the view's centre before the view moves.
constexpr int kDeadZonePercent = 30;
// Each tick the view covers this share of what is left of a short move.
constexpr int kSmoothingPercent = 30;

// Where the view is headed for a caret at `caret`: unchanged while the caret
// stays in the middle of the area around `goal`; otherwise, across, the
// caret is put a third of the area from the edge it left by (the rest of the
// area ahead of it), and down, the caret's line is centred.
IntPair view_goal(IntPair goal, IntPair caret, IntPair area);

// One tick's move of the view towards the goal: a share of what is left (at
// least a pixel), or the whole of it when it is farther than the captured
// area's width or height.
IntPair view_step(IntPair view, IntPair goal, IntPair area);

// ---- who leads --------------------------------------------------------------

// The caret takes the lead only once the mouse has rested this long.
constexpr uint32_t kMouseRestMs = 500;
// A caret that goes away while it leads keeps the view where it was for
// this long before the mouse leads again.
constexpr uint32_t kLostCaretHoldMs = 1000;
// The mouse takes the lead back once it is this far (on either axis) from
// where it rested.
constexpr int kMouseMovePixels = 3;

// What one tick read.
struct FollowInput {
    uint32_t now;         // milliseconds, any origin (wraps)
    IntPair cursor;       // the mouse pointer
    bool button_down;     // a mouse button is held
    bool menu_or_drag;    // a menu is open or a window is moved or sized
    bool target;          // a caret, or a focused control without one, was seen
    IntPair target_point; // its point (caret_point or focus_point)
    uintptr_t target_id;  // its window: a change of window is a change
    IntPair area;         // the captured area (size): dead zone and jumps
};

enum class Leader : uint8_t { Mouse, Caret };

// What follow_step remembers from one tick to the next.
struct FollowState {
    bool started = false;
    Leader leader = Leader::Mouse;
    IntPair last_cursor{0, 0};
    uint32_t mouse_active_at = 0; // the cursor last moved, or a button was held
    IntPair rest_cursor{0, 0};    // the cursor when the caret took the lead
    bool had_target = false;      // the last tick's sighting
    IntPair last_target{0, 0};
    uintptr_t last_target_id = 0;
    bool target_lost = false; // the caret went away while it led...
    uint32_t lost_at = 0;     // ...at this time
    IntPair view{0, 0};       // the point the loupe shows
    IntPair goal{0, 0};       // where the view is headed while the caret leads
};

struct FollowResult {
    IntPair point;    // the point the loupe follows this tick
    bool caret_leads; // the caret (or the focused control) leads
};

// One tick: the mouse leads the moment it moves or a button is held (or a
// menu or a window move is under way); the caret takes over when it changes
// while the mouse has rested for kMouseRestMs; nothing changing keeps the
// leader.
FollowResult follow_step(FollowState* state, const FollowInput& in);
