#!/usr/bin/env python3
"""Draws the two notification-area icons of the program: a watching eye.

normal.ico: a calm blue eye. alert.ico: an orange eye with a red dot, shown after new articles.
Each file holds one 16 x 16 image at 32 bits per pixel (BGRA with an AND mask), 1,150 bytes.

Usage: make_tray_icons.py <output folder>
"""
import math
import struct
import sys

SIZE = 16
SUPER = 4  # samples per pixel along each axis


def blend(under, over):
    """Source-over compositing of two straight-alpha RGBA colours (components 0..1)."""
    r0, g0, b0, a0 = under
    r1, g1, b1, a1 = over
    a = a1 + a0 * (1 - a1)
    if a == 0:
        return (0.0, 0.0, 0.0, 0.0)
    mix = lambda c0, c1: (c1 * a1 + c0 * a0 * (1 - a1)) / a
    return (mix(r0, r1), mix(g0, g1), mix(b0, b1), a)


def in_eye(x, y):
    """The almond outline of the eye: two circle arcs meeting at the corners."""
    cx, cy = 8.0, 8.0
    half_width, bulge = 7.4, 4.6
    radius = (half_width ** 2 + bulge ** 2) / (2 * bulge)
    upper = (x - cx) ** 2 + (y - (cy - bulge + radius)) ** 2 <= radius ** 2
    lower = (x - cx) ** 2 + (y - (cy + bulge - radius)) ** 2 <= radius ** 2
    return upper and lower


def draw(palette, dot):
    """Returns SIZE x SIZE straight-alpha RGBA pixels, top row first."""
    rows = []
    for py in range(SIZE):
        row = []
        for px in range(SIZE):
            acc = [0.0, 0.0, 0.0, 0.0]
            for sy in range(SUPER):
                for sx in range(SUPER):
                    x = px + (sx + 0.5) / SUPER
                    y = py + (sy + 0.5) / SUPER
                    colour = (0.0, 0.0, 0.0, 0.0)
                    if in_eye(x, y):
                        colour = palette["rim"]
                        # white of the eye inside a one-pixel rim
                        if in_eye(x + 0.9, y) and in_eye(x - 0.9, y) and in_eye(x, y + 0.9) \
                                and in_eye(x, y - 0.9):
                            colour = palette["white"]
                        d = math.hypot(x - 8.0, y - 8.0)
                        if d <= 3.6:
                            colour = palette["iris"]
                        if d <= 1.7:
                            colour = palette["pupil"]
                        if math.hypot(x - 9.1, y - 6.9) <= 0.8:
                            colour = (1.0, 1.0, 1.0, 1.0)  # glint
                    if dot and math.hypot(x - 12.6, y - 3.4) <= 3.3:
                        colour = (1.0, 1.0, 1.0, 1.0)  # halo around the dot
                        if math.hypot(x - 12.6, y - 3.4) <= 2.5:
                            colour = palette["dot"]
                    for i in range(4):
                        acc[i] += colour[i] * (colour[3] if i < 3 else 1.0)
            n = SUPER * SUPER
            alpha = acc[3] / n
            if alpha > 0:
                row.append((acc[0] / n / alpha, acc[1] / n / alpha, acc[2] / n / alpha, alpha))
            else:
                row.append((0.0, 0.0, 0.0, 0.0))
        rows.append(row)
    return rows


def ico_bytes(pixels):
    image_size = 40 + SIZE * SIZE * 4 + SIZE * 4
    header = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, 1, 32, image_size, 6 + 16)
    info = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 32, 0, SIZE * SIZE * 4 + SIZE * 4,
                       0, 0, 0, 0)
    body = bytearray()
    for row in reversed(pixels):  # bottom-up
        for r, g, b, a in row:
            body += bytes((round(b * 255), round(g * 255), round(r * 255), round(a * 255)))
    mask = bytearray()
    for row in reversed(pixels):
        bits = 0
        for i, (_, _, _, a) in enumerate(row):
            if a == 0:
                bits |= 0x8000 >> i
        mask += struct.pack(">H", bits) + b"\0\0"  # rows padded to 32 bits
    data = header + entry + info + bytes(body) + bytes(mask)
    assert len(data) == 1150, len(data)
    return data


NORMAL = {
    "rim": (0.11, 0.30, 0.55, 1.0),
    "white": (0.93, 0.97, 1.0, 1.0),
    "iris": (0.20, 0.58, 0.86, 1.0),
    "pupil": (0.06, 0.15, 0.30, 1.0),
}
ALERT = {
    "rim": (0.62, 0.24, 0.02, 1.0),
    "white": (1.0, 0.96, 0.88, 1.0),
    "iris": (0.98, 0.55, 0.10, 1.0),
    "pupil": (0.35, 0.12, 0.02, 1.0),
    "dot": (0.90, 0.08, 0.08, 1.0),
}


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else "."
    with open(f"{folder}/normal.ico", "wb") as out:
        out.write(ico_bytes(draw(NORMAL, dot=False)))
    with open(f"{folder}/alert.ico", "wb") as out:
        out.write(ico_bytes(draw(ALERT, dot=True)))


if __name__ == "__main__":
    main()
