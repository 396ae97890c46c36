#!/usr/bin/env python3
"""Writes the PNG resource of the image loader tests, the .rc script that embeds it, and a
zip archive that holds the same image as images/arch.png.

The image is 4 x 3 opaque pixels: the top-left pixel is C03010, the bottom-right 10A0E0, and
the rest 808080.
"""
import os
import struct
import sys
import zipfile
import zlib


def chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))


def png(width, height, pixel):
    raw = b"".join(b"\0" + b"".join(pixel(x, y) for x in range(width)) for y in range(height))
    header = struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw))
            + chunk(b"IEND", b""))


def pixel(x, y):
    if (x, y) == (0, 0):
        return bytes([0xC0, 0x30, 0x10])
    if (x, y) == (3, 2):
        return bytes([0x10, 0xA0, 0xE0])
    return bytes([0x80, 0x80, 0x80])


out = sys.argv[1]
os.makedirs(out, exist_ok=True)
with open(os.path.join(out, "loader-test.png"), "wb") as f:
    f.write(png(4, 3, pixel))
with zipfile.ZipFile(os.path.join(out, "images.zip"), "w", zipfile.ZIP_DEFLATED) as archive:
    archive.writestr("images/arch.png", png(4, 3, pixel))
with open(os.path.join(out, "loader-test.rc"), "w") as f:
    f.write('101 PNG "loader-test.png"\n')
