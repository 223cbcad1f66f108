// Whether the loupe is wanted and shown, and what goes along with showing it:
// the system cursor, the snapshot and the tooltip's tracking. The one owner
// of loupe_shown, toggle_on and tip_active; everyone else asks or calls here.
#pragma once
#include <windows.h>
#include <cstdint>

// Shows or hides the loupe (show 1 or 0) without activating it. Showing
// retakes the snapshot first, in snapshot mode, while the loupe is still
// hidden; the cursor rule follows, and the tooltip tracks while the loupe is
// shown when point information is on.
void show_loupe(HWND loupe, int show);
// Whether the user wants the loupe: what the toggle hotkey and the tray flip.
void want_loupe(int wanted);
// The tray's left click with the toggle type: shown and wanted both flip.
void toggle_loupe(HWND loupe);
// The first tick: shows the loupe when start-up asks for it; from then on
// the loupe is wanted exactly when it is shown.
void begin_presence(HWND loupe, bool show);
// The tick's show/hide request (REQUEST_*) for the visibility type under the
// cursor and the hotkey; the toggle hotkey's latch is the tick's.
int presence_request(int type, bool hotkey_held, uint8_t* toggle_latch);
// Starts or stops the tooltip's tracking (point information switched on/off).
void activate_tooltip(int active);

// The system cursor is hidden exactly while the loupe is shown in
// magnifying-glass mode (its centre marker stands in for it), no modal
// window of ours is open and the loupe is not frozen (the pointer then reads
// the frozen image).
bool system_cursor_must_be_hidden();
// Moves this thread's cursor display count across zero to match the rule;
// a count already on the right side stays as it is. Driven across zero,
// never stepped blindly, so a rule applied twice, or after other code moved
// the count, still ends on the right side.
void apply_cursor_rule();
