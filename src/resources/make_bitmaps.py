#!/usr/bin/env python3
"""Draws the product mark used by the splash window (250 x 294) and the tile (192 x 192; the affiliate variant 128 x 128).

The mark is a face frame: four corner brackets around a ring, on a dark blue gradient.
Writes uncompressed bottom-up 24-bit BMP files; run it again only to change the pictures.
"""
import math
import struct
import sys


def bmp_bytes(width, height, pixel):
    row_size = (width * 3 + 3) & ~3
    rows = []
    for y in range(height - 1, -1, -1):
        row = bytearray()
        for x in range(width):
            r, g, b = pixel(x, y)
            row += bytes((b, g, r))
        row += b"\0" * (row_size - width * 3)
        rows.append(bytes(row))
    data = b"".join(rows)
    header = struct.pack("<2sIHHI", b"BM", 14 + 40 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    return header + info + data


def mark(width, height):
    cx, cy = width / 2, height / 2
    radius = min(width, height) * 0.28
    ring = max(3.0, radius * 0.12)
    box = radius * 1.45
    arm = box * 0.45
    stroke = max(3.0, ring * 0.8)

    def pixel(x, y):
        t = y / height
        bg = (int(16 + 20 * t), int(40 + 40 * t), int(96 + 70 * t))
        d = math.hypot(x - cx, y - cy)
        if abs(d - radius) <= ring / 2:
            return (90, 210, 255)
        dx, dy = abs(x - cx), abs(y - cy)
        on_h = abs(dy - box) <= stroke / 2 and box - arm <= dx <= box
        on_v = abs(dx - box) <= stroke / 2 and box - arm <= dy <= box
        if on_h or on_v:
            return (235, 240, 250)
        return bg

    return pixel


def main(out_dir):
    with open(f"{out_dir}/splash.bmp", "wb") as f:
        f.write(bmp_bytes(250, 294, mark(250, 294)))
    with open(f"{out_dir}/modules/tile.bmp", "wb") as f:
        f.write(bmp_bytes(192, 192, mark(192, 192)))
    with open(f"{out_dir}/modules/affiliate_tile.bmp", "wb") as f:
        f.write(bmp_bytes(128, 128, mark(128, 128)))


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else ".")
