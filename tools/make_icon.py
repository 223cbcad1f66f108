#!/usr/bin/env python3
"""Draws Brisvane's program icon and writes resources/brisvane.ico.

The icon is a magnifying glass: a dark lens ring around light glass with a
small highlight, and a handle pointing to the lower right. It holds two
images, as the tray and the about box want them on every Windows since 95:

  32 x 32, 256 colours (8-bit palette), palette built from the picture;
  16 x 16, 16 colours (4-bit), the standard 16-colour palette, drawn with
  its own, thicker proportions so that it stays readable at that size.

Each shape is sampled 4 x 4 times per pixel; a pixel is opaque when at least
half of its samples hit a shape, and then takes the average colour of those
samples. Transparent pixels are black in the colour bitmap and set in the
AND mask, as the icon format requires. Python 3 standard library only; the
output is the same byte for byte on every run.

Usage: tools/make_icon.py [output path]   (default: resources/brisvane.ico)
"""

import math
import os
import struct
import sys

SUPERSAMPLE = 4

# The 16 colours every 4-bit icon on Windows is drawn with.
VGA16 = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]


class Glass:
    """Geometry of one image, in pixels of that image (origin top left)."""

    def __init__(self, size, centre, outer, inner, handle_from, handle_to, handle_radius,
                 highlight):
        self.size = size
        self.centre = centre
        self.outer = outer
        self.inner = inner
        self.handle_from = handle_from
        self.handle_to = handle_to
        self.handle_radius = handle_radius
        self.highlight = highlight  # (centre x, centre y, radius x, radius y)


def distance_to_segment(px, py, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    t = ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy)
    t = max(0.0, min(1.0, t))
    return math.hypot(px - (ax + t * dx), py - (ay + t * dy)), t


def shade(colour, factor):
    return tuple(max(0, min(255, int(round(c * factor)))) for c in colour)


def sample(g, x, y, palette16):
    """Colour of the picture at (x, y), or None where it is transparent."""
    cx, cy = g.centre
    r = math.hypot(x - cx, y - cy)
    # Light falls from the upper left: +1 there, -1 at the lower right.
    light = -((x - cx) + (y - cy)) / (math.sqrt(2) * g.outer)

    if r <= g.outer:
        if r >= g.inner:
            if palette16:
                return (0, 0, 128) if light < 0.45 else (0, 0, 255)
            return shade((48, 72, 112), 1.0 + 0.45 * light)
        hx, hy, hrx, hry = g.highlight
        if ((x - hx) / hrx) ** 2 + ((y - hy) / hry) ** 2 <= 1.0:
            return (255, 255, 255)
        if palette16:
            return (0, 255, 255)
        return shade((178, 222, 250), 1.0 + 0.12 * light)

    d, _ = distance_to_segment(x, y, *g.handle_from, *g.handle_to)
    if d <= g.handle_radius:
        if palette16:
            return (128, 0, 0)
        # A rounded bar: lighter along its upper-left edge.
        # A rounded bar with a dark rim: lighter along its upper-right edge.
        if d > g.handle_radius - 0.9:
            return (58, 30, 12)
        across = ((x - g.handle_from[0]) - (y - g.handle_from[1])) / math.sqrt(2)
        return shade((150, 82, 38), 1.0 + 0.3 * (across / g.handle_radius))
    return None


def render(g, palette16):
    pixels = []
    n = SUPERSAMPLE
    for py in range(g.size):
        row = []
        for px in range(g.size):
            hits = []
            for sy in range(n):
                for sx in range(n):
                    c = sample(g, px + (sx + 0.5) / n, py + (sy + 0.5) / n, palette16)
                    if c is not None:
                        hits.append(c)
            if len(hits) * 2 < n * n:
                row.append(None)
            else:
                row.append(tuple(sum(c[i] for c in hits) // len(hits) for i in range(3)))
        pixels.append(row)
    return pixels


def nearest(palette, colour):
    return min(range(len(palette)),
               key=lambda i: sum((palette[i][k] - colour[k]) ** 2 for k in range(3)))


def build_palette256(pixels):
    """Index 0 is black (the transparent pixels); the picture's colours follow,
    coarsened step by step until they fit."""
    colours = sorted({c for row in pixels for c in row if c is not None})
    shift = 0
    while len(colours) > 255:
        shift += 1
        colours = sorted({tuple((v >> shift) << shift for v in c) for c in colours})
    palette = [(0, 0, 0)] + colours
    return palette + [(0, 0, 0)] * (256 - len(palette))


def pack_image(pixels, palette, bits):
    """BITMAPINFOHEADER, palette, colour bitmap and AND mask of one image,
    both bitmaps bottom-up with rows padded to four bytes."""
    size = len(pixels)
    used = len(palette)
    lookup = {}

    def index(c):
        if c is None:
            return 0
        if c not in lookup:
            lookup[c] = nearest(palette[:used], c)
        return lookup[c]

    xor_rows, and_rows = [], []
    xor_stride = ((size * bits + 31) // 32) * 4
    and_stride = ((size + 31) // 32) * 4
    for row in reversed(pixels):
        value = 0
        for c in row:
            value = (value << bits) | index(c)
        data = value.to_bytes(size * bits // 8, "big")
        xor_rows.append(data + b"\0" * (xor_stride - len(data)))
        mask = 0
        for c in row:
            mask = (mask << 1) | (1 if c is None else 0)
        data = mask.to_bytes(size // 8, "big")
        and_rows.append(data + b"\0" * (and_stride - len(data)))
    xor = b"".join(xor_rows)
    mask = b"".join(and_rows)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, bits, 0, len(xor) + len(mask),
                         0, 0, 0, 0)
    colours = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in palette)
    return header + colours + xor + mask


def make_icon():
    big = Glass(32, centre=(12.5, 12.5), outer=11.0, inner=8.0,
                handle_from=(19.5, 19.5), handle_to=(28.5, 28.5), handle_radius=3.0,
                highlight=(9.0, 8.5, 2.6, 1.6))
    small = Glass(16, centre=(6.5, 6.5), outer=6.2, inner=4.0,
                  handle_from=(10.0, 10.0), handle_to=(15.0, 15.0), handle_radius=1.6,
                  highlight=(5.0, 4.6, 1.3, 1.0))

    pixels32 = render(big, palette16=False)
    image32 = pack_image(pixels32, build_palette256(pixels32), 8)
    image16 = pack_image(render(small, palette16=True), VGA16, 4)

    images = [(32, 0, 8, image32), (16, 16, 4, image16)]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, colour_count, bits, data in images:
        out += struct.pack("<BBBBHHII", size, size, colour_count, 0, 1, bits, len(data), offset)
        offset += len(data)
    return out + b"".join(data for *_, data in images)


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    path = sys.argv[1] if len(sys.argv) > 1 else os.path.join(root, "resources", "brisvane.ico")
    with open(path, "wb") as f:
        f.write(make_icon())


if __name__ == "__main__":
    main()
