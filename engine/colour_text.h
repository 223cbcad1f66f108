// The colour of one pixel as text, as the colour copy puts it on the
// clipboard: "#FF8000" in hexadecimal, "255, 128, 0" in decimal.
#pragma once

// Writes the text into buf (always NUL-terminated when buf_size > 0,
// truncated when too small; 16 bytes hold every text) and returns its length.
// Channels outside 0-255 are cut to their low byte, as a COLORREF holds them.
int format_colour_text(char* buf, int buf_size, bool hex, int red, int green, int blue);
