// The pixel-information tooltip: which capture pixel is sampled and the text.
#pragma once
#include "settings/settings.h"

// Position in capture_dc of the cursor pixel: in the snapshot of the virtual
// screen (whose top-left pixel sits at (1, 1)), or the centre of the capture
// block of the last full refresh.
IntPair pixel_sample_point(bool snapshot, IntPair cursor, int virtual_left, int virtual_top,
                           IntPair half_size);

// A buffer this large holds every possible text, terminator included.
constexpr int kTooltipTextBytes = 80;

// "[300%](512, 384) 255, 128, 0", or with hex "[300%](512, 384) FF, 80, 00".
// Always NUL-terminated when buf_size > 0 (truncated if too small). Returns
// the length of the text stored in buf.
int format_tooltip_text(char* buf, int buf_size, bool hex, int32_t magnify, IntPair cursor, int red,
                        int green, int blue);
