#!/usr/bin/env python3
"""Draws the two icons the Windows build compiles into its resources.

  tarnwell.ico  the program icon: a dated log page with an old-file badge,
                16, 32 and 48 px, 256 colours (8 bits per pixel, fixed palette)
  cancel.ico    the Cancel picture: a white cross on a red octagon,
                32 and 48 px, 24-bit colour

The .ico files are committed, so a build never needs Python; run this script again
only to change the pictures. Standard library only.
"""

import math
import os
import struct

SUPERSAMPLE = 4  # sub-pixels per pixel side, for smooth edges inside the shapes


def in_octagon(x, y, r):
    """Octagon of half-width r centred on (0.5, 0.5): corners cut at 45 degrees."""
    cx, cy = abs(x - 0.5), abs(y - 0.5)
    cut = r * math.sqrt(2)  # |x| + |y| limit that makes all eight sides equal
    return cx <= r and cy <= r and cx + cy <= cut


def in_cross(x, y, half_length, half_thickness):
    """Two bars at +-45 degrees through the centre."""
    cx, cy = x - 0.5, y - 0.5
    for a, b in ((cx + cy, cx - cy), (cx - cy, cx + cy)):
        along, across = a / math.sqrt(2), b / math.sqrt(2)
        if abs(along) <= half_length and abs(across) <= half_thickness:
            return True
    return False


def cancel_pixel(x, y):
    """Colour (r, g, b) at a point of the unit square, or None outside the picture."""
    if not in_octagon(x, y, 0.47):
        return None
    if in_cross(x, y, 0.25, 0.065):
        return (255, 255, 255)
    if not in_octagon(x, y, 0.43):
        return (150, 0, 0)  # darker rim so the sign reads on a red background too
    return (215, 25, 25)


def program_pixel(x, y):
    """The program icon: a white log page with dated lines and an amber clock badge."""
    # Clock badge, lower right: amber disc, dark hands.
    bx, by, br = 0.70, 0.70, 0.27
    d = math.hypot(x - bx, y - by)
    if d <= br:
        if d >= br - 0.05:
            return (120, 70, 0)
        hand_up = abs(x - bx) <= 0.03 and by - 0.17 <= y <= by
        hand_right = abs(y - by) <= 0.03 and bx <= x <= bx + 0.13
        if hand_up or hand_right:
            return (40, 30, 20)
        return (250, 190, 40)
    # Page with a folded corner.
    left, right, top, bottom, fold = 0.12, 0.72, 0.04, 0.92, 0.18
    if left <= x <= right and top <= y <= bottom:
        if x - (right - fold) > y - top:  # the cut-off corner
            return None
        edge = min(x - left, right - x, y - top, bottom - y)
        if edge < 0.035 or abs((x - (right - fold)) - (y - top)) < 0.03:
            return (40, 60, 110)
        for i, line_y in enumerate((0.24, 0.38, 0.52, 0.66, 0.80)):
            end = 0.62 if i % 2 == 0 else 0.52
            if abs(y - line_y) <= 0.035 and 0.22 <= x <= end:
                return (30, 110, 200) if i == 0 else (120, 130, 150)
        return (255, 255, 255)
    return None


def render(shape, size):
    """Rows of (r, g, b) or None (transparent), top row first, by supersampling."""
    rows = []
    n = SUPERSAMPLE
    for py in range(size):
        row = []
        for px in range(size):
            samples = [
                shape((px + (i + 0.5) / n) / size, (py + (j + 0.5) / n) / size)
                for j in range(n) for i in range(n)
            ]
            opaque = [s for s in samples if s is not None]
            if len(opaque) * 2 < len(samples):
                row.append(None)
            else:
                row.append(tuple(sum(c[k] for c in opaque) // len(opaque) for k in range(3)))
        rows.append(row)
    return rows


def palette_256():
    """A fixed palette: the 6x6x6 colour cube, then 40 greys."""
    levels = (0, 51, 102, 153, 204, 255)
    colours = [(r, g, b) for r in levels for g in levels for b in levels]
    colours += [(round(i * 255 / 39),) * 3 for i in range(40)]
    return colours


def nearest(palette, colour):
    return min(range(len(palette)),
               key=lambda i: sum((palette[i][k] - colour[k])**2 for k in range(3)))


def mask_bytes(rows, size):
    """The 1-bit AND mask, bottom row first, each row padded to 4 bytes (1 = transparent)."""
    stride = ((size + 31) // 32) * 4
    out = bytearray()
    for row in reversed(rows):
        bits = bytearray(stride)
        for x, pixel in enumerate(row):
            if pixel is None:
                bits[x // 8] |= 0x80 >> (x % 8)
        out += bits
    return bytes(out)


def dib(rows, size, bits_per_pixel, palette=None):
    """One icon image: BITMAPINFOHEADER (double height), palette, colour rows, mask."""
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, bits_per_pixel, 0, 0, 0, 0,
                         len(palette) if palette else 0, 0)
    body = bytearray()
    if palette:
        for r, g, b in palette:
            body += bytes((b, g, r, 0))
    stride = ((size * bits_per_pixel + 31) // 32) * 4
    for row in reversed(rows):
        line = bytearray()
        for pixel in row:
            colour = pixel if pixel is not None else (0, 0, 0)
            if bits_per_pixel == 8:
                line.append(nearest(palette, colour))
            else:
                line += bytes((colour[2], colour[1], colour[0]))
        line += bytes(stride - len(line))
        body += line
    return header + bytes(body) + mask_bytes(rows, size)


def write_ico(path, images):
    """images: list of (size, bits_per_pixel, dib bytes)."""
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    entries, blobs = b"", b""
    for size, bpp, data in images:
        colour_count = 0 if bpp >= 8 else 1 << bpp
        entries += struct.pack("<BBBBHHII", size % 256, size % 256, colour_count, 0, 1, bpp,
                               len(data), offset)
        offset += len(data)
        blobs += data
    with open(path, "wb") as f:
        f.write(directory + entries + blobs)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    palette = palette_256()
    write_ico(os.path.join(here, "tarnwell.ico"),
              [(s, 8, dib(render(program_pixel, s), s, 8, palette)) for s in (16, 32, 48)])
    write_ico(os.path.join(here, "cancel.ico"),
              [(s, 24, dib(render(cancel_pixel, s), s, 24)) for s in (32, 48)])


if __name__ == "__main__":
    main()
