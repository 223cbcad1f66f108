// Where the foreground program's text caret is, read once a tick and never
// by waiting on that program.
#pragma once
#include <windows.h>
#include "engine/caret_follow.h"

struct CaretSighting {
    bool found;        // a caret, or a focused control without one, to follow
    IntPair point;     // its point on the screen, physical pixels
    HWND window;       // the caret's window, or the focused control
    bool menu_or_drag; // a menu is open or a window is moved or sized
};

// The foreground thread's system caret (a hidden one counts; an empty one or
// one outside its window or every monitor does not), converted from the
// window's logical pixels where the system scales it. Without one, a caret
// the focused window publishes through accessibility, and without that the
// focused control itself when it is small enough to show (`area`: the
// captured area).
CaretSighting read_caret_sighting(IntPair area);
