#!/usr/bin/env python3
"""Writes Install.ico, the installer's icon: a box with an arrow going into it, at 16, 20, 24, 32 and 48
pixels (the title bar's at 100, 125, 150 and 200 %, and the large ones), 32-bit colour with alpha. Run it
again after changing the drawing; the .ico it writes is committed so that the build needs nothing but
windres.

    app/win32/make-icon.py [OUTPUT]     (default: Install.ico next to this script)
"""
import os
import struct
import sys

BOX = (0x2F, 0x6F, 0xB5)       # blue box
BOX_EDGE = (0x1A, 0x3E, 0x66)
LID = (0x5C, 0x95, 0xD6)
ARROW = (0x2E, 0xA0, 0x43)     # green arrow
ARROW_EDGE = (0x1B, 0x5E, 0x28)


def pixel(size, x, y):
    """The colour and alpha of one pixel, drawn on a 48-unit grid scaled to size."""
    u = (x + 0.5) * 48.0 / size
    v = (y + 0.5) * 48.0 / size
    # The arrow: a shaft and a head pointing down into the box's opening.
    if 20 <= u < 28 and 2 <= v < 18:
        edge = u < 21.5 or u >= 26.5
        return (ARROW_EDGE if edge else ARROW), 255
    if 18 <= v < 30 and abs(u - 24) <= (30 - v) * 1.1:
        edge = abs(u - 24) >= (30 - v) * 1.1 - 1.5
        return (ARROW_EDGE if edge else ARROW), 255
    # The box: lid band, then body, with a darker outline.
    if 6 <= u < 42 and 24 <= v < 45:
        edge = u < 7.5 or u >= 40.5 or v >= 43.5 or v < 25.5
        if edge:
            return BOX_EDGE, 255
        return (LID if v < 30 else BOX), 255
    return (0, 0, 0), 0


def image(size):
    """One icon image: BITMAPINFOHEADER (double height), bottom-up BGRA rows, then the AND mask."""
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    rows = []
    mask_rows = []
    mask_stride = ((size + 31) // 32) * 4
    for y in reversed(range(size)):
        row = bytearray()
        mask = bytearray(mask_stride)
        for x in range(size):
            (r, g, b), a = pixel(size, x, y)
            row += bytes((b, g, r, a))
            if a == 0:
                mask[x // 8] |= 0x80 >> (x % 8)
        rows.append(bytes(row))
        mask_rows.append(bytes(mask))
    return header + b"".join(rows) + b"".join(mask_rows)


def icon(sizes):
    images = [image(s) for s in sizes]
    out = struct.pack("<HHH", 0, 1, len(sizes))
    offset = 6 + 16 * len(sizes)
    for s, data in zip(sizes, images):
        out += struct.pack("<BBBBHHII", s % 256, s % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    return out + b"".join(images)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    target = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "Install.ico")
    with open(target, "wb") as f:
        f.write(icon([16, 20, 24, 32, 48]))


if __name__ == "__main__":
    main()
