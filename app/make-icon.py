#!/usr/bin/env python3
"""make-icon.py OUT.ico

Draws the program's icon: a blue shield with a white check mark, a mark that stays legible at
16 x 16. Each size is drawn from the same shapes with 4 x 4 supersampling; the small sizes are
stored as 32-bit bitmaps and the 256-pixel one as PNG, as Windows Vista and later read it."""
import math
import struct
import sys
import zlib

SHIELD = (0x1F, 0x5F, 0xAF)
EDGE = (0x12, 0x3F, 0x7A)
CHECK = (0xFF, 0xFF, 0xFF)


def in_shield(x, y, inset=0.0):
    left, right, top, shoulder, tip = 0.14 + inset, 0.86 - inset, 0.06 + inset, 0.52, 0.95 - inset
    if y < top or y > tip:
        return False
    if y <= shoulder:
        return left <= x <= right
    half = (right - left) / 2 * math.sqrt(max(0.0, 1 - ((y - shoulder) / (tip - shoulder)) ** 2))
    return abs(x - 0.5) <= half


def near_segment(x, y, a, b, radius):
    (ax, ay), (bx, by) = a, b
    dx, dy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy)))
    px, py = ax + t * dx - x, ay + t * dy - y
    return px * px + py * py <= radius * radius


def colour_at(x, y):
    check = [(0.29, 0.50), (0.44, 0.66), (0.72, 0.34)]
    if near_segment(x, y, check[0], check[1], 0.065) or near_segment(x, y, check[1], check[2], 0.065):
        if in_shield(x, y):
            return CHECK
    if in_shield(x, y, 0.045):
        return SHIELD
    if in_shield(x, y):
        return EDGE
    return None


def draw(size):
    """Rows of (r, g, b, a) from the top, 4 x 4 samples per pixel."""
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            totals, hits = [0, 0, 0], 0
            for sy in range(4):
                for sx in range(4):
                    c = colour_at((px + (sx + 0.5) / 4) / size, (py + (sy + 0.5) / 4) / size)
                    if c is not None:
                        hits += 1
                        totals = [t + v for t, v in zip(totals, c)]
            if hits == 0:
                row.append((0, 0, 0, 0))
            else:
                row.append(tuple(t // hits for t in totals) + (hits * 255 // 16,))
        rows.append(row)
    return rows


def bitmap_entry(size, rows):
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = b"".join(bytes((b, g, r, a)) for row in reversed(rows) for (r, g, b, a) in row)
    mask_row = ((size + 31) // 32) * 4
    return header + pixels + bytes(mask_row * size)


def png_entry(size, rows):
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    raw = b"".join(b"\0" + b"".join(bytes(p) for p in row) for row in rows)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def main():
    sizes = [16, 24, 32, 48, 256]
    images = [(s, png_entry(s, draw(s)) if s == 256 else bitmap_entry(s, draw(s))) for s in sizes]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in images:
        out += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    out += b"".join(data for _, data in images)
    with open(sys.argv[1], "wb") as f:
        f.write(out)


if __name__ == "__main__":
    main()
