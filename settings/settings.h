// The settings record: every user-adjustable property of the magnifier, named
// by its INI key, plus the values derived from it. Process-wide, one instance.
// Pure logic: no <windows.h> here, so it builds and is tested natively.
#pragma once
#include <cstdint>
#include "platform/ansi_text.h"

// A pair of signed 32-bit values; what x and y mean depends on the key
// (size: width, height; position: distance, angle; hotkey: modifier, key;
// maruwin: round in normal mode, round in magnifying-glass mode).
struct IntPair {
    int32_t x;
    int32_t y;
};

inline bool operator==(IntPair a, IntPair b) {
    return a.x == b.x && a.y == b.y;
}
inline bool operator!=(IntPair a, IntPair b) {
    return !(a == b);
}

// The visibility types: the value of `visible` and the type of every
// per-window rule. The load makes any other `visible` a toggle; a rule keeps
// any other type as it is, and that type changes nothing.
enum VisibilityType : int32_t {
    kVisibleShown = 1,  // normally shown, hidden while the hotkey is held
    kVisibleHidden = 2, // normally hidden, shown while the hotkey is held
    kVisibleToggle = 3, // shown or hidden by each press of the hotkey
};

// The smoothing modes of `smooth`, also the index of each in the options
// dialog's list. The load makes any other value kSmoothNone.
enum SmoothMode : int32_t {
    kSmoothNone = 0,
    kSmoothBilinear = 1,
    kSmoothBicubic = 2,
};

struct Settings {
    IntPair size;      // captured area, both sides odd
    int32_t magnify;   // percent, at least 100
    IntPair position;  // distance, angle (degrees clockwise from straight up)
    int32_t interval;  // tracking timer period, ms
    int32_t ttdisp;    // pixel-information tooltip
    IntPair hotkey;    // modifier virtual key, key virtual key
    int32_t loupe;     // magnifying-glass mode
    int32_t loupetype; // 0 snapshot, otherwise peep window
    int32_t layered;   // screen copies include layered windows (CAPTUREBLT)
    int32_t visible;   // a VisibilityType
    int32_t toggledef; // toggle starts on
    int32_t marker;    // centre marker
    int32_t addhole;   // clicks pass through the loupe
    int32_t graybmp;
    int32_t invertbmp;
    int32_t winset;   // use the per-window rules
    int32_t smooth;   // a SmoothMode
    int32_t posat;    // read, normalised and written back; nothing else uses it
    int32_t waddjust; // wheel step of magnify while smoothing
    IntPair maruwin;  // round in normal mode, round in magnifying-glass mode
    int32_t hexcolor;
    int32_t caret; // the loupe also follows the text caret
    int32_t grid;     // pixel grid over the image at high zoom
    int32_t gridzoom; // the least magnify (percent) that shows the grid
    int32_t freezekey; // virtual key that freezes the loupe in place (0 none)
};

// The record with its static initial values (before load_settings runs).
extern Settings settings;
// Values derived from size and magnify, set only by update_derived_sizes.
extern IntPair half_size;   // size / 2 per axis, truncating
extern float size_aspect;   // smaller side of size / larger side
extern IntPair zoomed_size; // size * magnify / 100 per axis

// The loupe window is the magnified image with a frame this many pixels wide
// on every side: the image starts at (kFrameWidth, kFrameWidth) of the client
// area.
constexpr int32_t kFrameWidth = 2;
// Size of the loupe window around an image of `zoomed`.
constexpr IntPair loupe_window_size(IntPair zoomed) {
    return {zoomed.x + 2 * kFrameWidth, zoomed.y + 2 * kFrameWidth};
}

// What becomes of size_aspect: recomputed where the user sets the size (the
// load, the options dialog), kept through the wheel's resize steps, which
// hold the ratio chosen there rather than drift with each odd rounding.
enum class AspectUpdate { Recompute, Keep };
// The derived values from settings.size and settings.magnify, all in one place.
void update_derived_sizes(AspectUpdate aspect);
// Makes `changed` the settings record: the record is written here and in
// update_derived_sizes only (the load and the settings-change path hand
// their records in).
void replace_settings(const Settings& changed);

// Full path of brisvane.ini (executable directory + file name).
extern char settings_path[kAnsiPathBytes];

// The static initial values, as the record holds them before the load.
Settings initial_settings();

// Both components multiplied by k (32-bit signed).
IntPair scale_point(IntPair p, int32_t k);
// Both components divided by k, truncating toward zero.
IntPair divide_point(IntPair p, int32_t k);

// size * magnify / 100 per axis.
IntPair compute_zoomed_size(IntPair size, int32_t magnify);
// Smaller side / larger side, as a float (1.0 for a square).
float compute_size_aspect(IntPair size);

// Limits that keep a hand-edited file from asking for absurd buffers: no
// side of the captured area beyond what the options dialog allows, and no side
// of the magnified image beyond kMaxImageSide pixels (so size * magnify never
// overflows 32 bits either).
constexpr int32_t kMaxSizeSide = 9999;
constexpr int32_t kMaxImageSide = 16384;
// Raises a side below 1 to 1, lowers one above kMaxSizeSide to it (keeping it
// odd), then lowers magnify until the image fits kMaxImageSide on both axes.
void bound_size_and_magnify(IntPair* size, int32_t* magnify);

// Reads settings_path into the record (every default and normalisation),
// derives the sizes, then loads the per-window rules.
void load_settings();
// Rewrites the whole file from the record and the rule table.
void save_settings();
