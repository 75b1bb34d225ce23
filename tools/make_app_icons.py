#!/usr/bin/env python3
"""Draws the program's application icon, the watching eye of the tray icons, as PNG files for the
hicolor icon theme: <folder>/<N>x<N>/org.lumo.Lumo.png for N in 16, 32, 48, 64, 128 and 256.

The eye is the one of make_tray_icons.py (the calm blue palette), drawn at each size from its
16-unit outline with 4 x 4 samples per pixel. Only the standard library is used.

Usage: make_app_icons.py <output folder>
"""
import os
import struct
import sys
import zlib

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from make_tray_icons import NORMAL, in_eye  # noqa: E402

SIZES = (16, 32, 48, 64, 128, 256)
SUPER = 4
ICON_NAME = "org.lumo.Lumo.png"


def colour_at(x, y):
    """The eye's colour at a point of the 16 x 16 outline (straight-alpha RGBA, 0..1)."""
    if not in_eye(x, y):
        return (0.0, 0.0, 0.0, 0.0)
    colour = NORMAL["rim"]
    if in_eye(x + 0.9, y) and in_eye(x - 0.9, y) and in_eye(x, y + 0.9) and in_eye(x, y - 0.9):
        colour = NORMAL["white"]
    d = ((x - 8.0) ** 2 + (y - 8.0) ** 2) ** 0.5
    if d <= 3.6:
        colour = NORMAL["iris"]
    if d <= 1.7:
        colour = NORMAL["pupil"]
    if ((x - 9.1) ** 2 + (y - 6.9) ** 2) ** 0.5 <= 0.8:
        colour = (1.0, 1.0, 1.0, 1.0)
    return colour


def draw(size):
    """size x size RGBA bytes, top row first."""
    scale = 16.0 / size
    rows = []
    for py in range(size):
        row = bytearray()
        for px in range(size):
            acc = [0.0, 0.0, 0.0, 0.0]
            for sy in range(SUPER):
                for sx in range(SUPER):
                    c = colour_at((px + (sx + 0.5) / SUPER) * scale,
                                  (py + (sy + 0.5) / SUPER) * scale)
                    for i in range(3):
                        acc[i] += c[i] * c[3]
                    acc[3] += c[3]
            n = SUPER * SUPER
            alpha = acc[3] / n
            if alpha > 0:
                row += bytes(round(acc[i] / n / alpha * 255) for i in range(3))
            else:
                row += b"\0\0\0"
            row.append(round(alpha * 255))
        rows.append(bytes(row))
    return rows


def png_bytes(size, rows):
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))
    raw = b"".join(b"\0" + row for row in rows)
    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9))
            + chunk(b"IEND", b""))


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else "."
    for size in SIZES:
        target = os.path.join(folder, f"{size}x{size}")
        os.makedirs(target, exist_ok=True)
        with open(os.path.join(target, ICON_NAME), "wb") as out:
            out.write(png_bytes(size, draw(size)))


if __name__ == "__main__":
    main()
