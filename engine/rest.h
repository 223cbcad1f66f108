// What the tick does while the cursor rests: every fifth tick at rest is a
// full refresh, the others only push the loupe back to the top. Magnifying
// glass mode without a direct screen copy does nothing until the cursor moves.
#pragma once

enum RestAction { REST_FULL_REFRESH, REST_KEEP_ON_TOP, REST_NOTHING };

// moved: the cursor differs from last_cursor_pos.
// direct_capture: !(loupe && (!layered_supported || layered)).
// Updates *still_ticks; a full refresh sets it to 0.
RestAction rest_decision(bool moved, bool loupe_mode, bool direct_capture, int* still_ticks);
