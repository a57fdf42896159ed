#!/usr/bin/env python3
"""Writes res/Kelvane.ico: the application icon, 32x32 and 16x16, 16 colours each.

The picture is a small film screen (dark blue, with a black frame and a grey
stand) carrying two yellow subtitle lines near its bottom edge. Standard library
only, so the icon is rebuilt the same way everywhere:

    python3 tools/make_icon.py [output path]
"""

import os
import struct
import sys

# The 16-colour VGA palette, as (red, green, blue).
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, NAVY, TEAL, SILVER, GREY, YELLOW, WHITE = 0, 4, 6, 7, 8, 11, 15
CLEAR = None  # transparent pixel


def draw(size):
    """Returns rows top to bottom of palette indexes (or CLEAR)."""
    s = size / 32.0
    px = [[CLEAR] * size for _ in range(size)]

    def fill(x0, y0, x1, y1, colour):
        # Rectangle in 32x32 design units, inclusive, scaled to this size.
        for y in range(int(y0 * s), int((y1 + 1) * s)):
            for x in range(int(x0 * s), int((x1 + 1) * s)):
                if 0 <= x < size and 0 <= y < size:
                    px[y][x] = colour

    fill(0, 3, 31, 26, BLACK)       # screen frame
    fill(2, 5, 29, 24, NAVY)        # the film
    fill(2, 5, 29, 9, TEAL)         # a lighter sky at the top of the scene
    fill(12, 27, 19, 28, GREY)      # stand
    fill(7, 29, 24, 30, GREY)       # foot
    # Two subtitle lines, centred near the bottom of the screen.
    fill(6, 15, 25, 17, YELLOW)
    fill(9, 20, 22, 22, YELLOW)
    if size >= 32:
        # Word gaps make the lines read as text at full size.
        for x0 in (12, 19):
            fill(x0, 15, x0, 17, NAVY)
        fill(15, 20, 15, 22, NAVY)
        fill(3, 6, 3, 6, WHITE)     # a glint on the frame
    return px


def image(size):
    """BITMAPINFOHEADER, palette, 4-bit colour rows and 1-bit mask rows, bottom-up."""
    rows = draw(size)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 4, 0, 0, 0, 0, 16, 0)
    palette = b''.join(struct.pack('<BBBB', b, g, r, 0) for (r, g, b) in PALETTE)
    colour_stride = ((size * 4 + 31) // 32) * 4
    mask_stride = ((size + 31) // 32) * 4
    colour = bytearray()
    mask = bytearray()
    for row in reversed(rows):
        line = bytearray(colour_stride)
        bits = bytearray(mask_stride)
        for x, value in enumerate(row):
            index = 0 if value is CLEAR else value
            line[x // 2] |= index << (4 if x % 2 == 0 else 0)
            if value is CLEAR:
                bits[x // 8] |= 0x80 >> (x % 8)
        colour += line
        mask += bits
    return header + palette + bytes(colour) + bytes(mask)


def icon(sizes):
    images = [image(size) for size in sizes]
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in zip(sizes, images):
        out += struct.pack('<BBBBHHII', size, size, 16, 0, 1, 4, len(data), offset)
        offset += len(data)
    return out + b''.join(images)


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    path = sys.argv[1] if len(sys.argv) > 1 else os.path.join(root, 'res', 'Kelvane.ico')
    with open(path, 'wb') as f:
        f.write(icon([32, 16]))
    print(path)


if __name__ == '__main__':
    main()
