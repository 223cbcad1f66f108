// The idle path of the tick: at rest, four ticks in five only re-assert the
// topmost position, so the screen copy and repaint stay off it.
#include "engine/rest.h"

RestAction rest_decision(bool moved, bool loupe_mode, bool direct_capture, int* still_ticks) {
    if (!moved) {
        // Snapshot or peep window: nothing can change until the cursor moves.
        if (loupe_mode && !direct_capture) return REST_NOTHING;
        ++*still_ticks;
        if (*still_ticks % 5 != 0) return REST_KEEP_ON_TOP;
    }
    *still_ticks = 0;
    return REST_FULL_REFRESH;
}
