// The point the tracking tick follows: the mouse pointer, or, while caret
// following is on and the text caret leads, the caret.
#pragma once
#include <windows.h>

struct FollowedPoint {
    POINT point;       // where the loupe looks and what it stands beside
    HWND caret_window; // the caret's window while the caret leads, else null
};

// With caret following off this is the cursor, and nothing is read.
FollowedPoint followed_point(POINT cursor);

// Following starts afresh: what was seen and who led is forgotten (the
// setting switched on or off).
void restart_caret_following();

// A caret read is under way and dispatching our messages: the tick waits.
bool caret_read_in_progress();
