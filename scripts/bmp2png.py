#!/usr/bin/env python3
"""Converts a 24-bit uncompressed .bmp into a .png: bmp2png.py IN.bmp OUT.png [SCALE]"""
import struct
import sys
import zlib


def read_bmp(path):
    data = open(path, "rb").read()
    if data[:2] != b"BM":
        raise SystemExit(f"{path}: not a bitmap")
    offset = struct.unpack_from("<I", data, 10)[0]
    width, height = struct.unpack_from("<ii", data, 18)
    bits, compression = struct.unpack_from("<HI", data, 28)
    if bits != 24 or compression != 0:
        raise SystemExit(f"{path}: not a 24-bit uncompressed bitmap")
    stride = (width * 3 + 3) // 4 * 4
    rows = []
    for y in range(abs(height)):
        src = y if height < 0 else abs(height) - 1 - y
        row = data[offset + src * stride: offset + src * stride + width * 3]
        rows.append(bytes(b for i in range(width) for b in (row[3 * i + 2], row[3 * i + 1], row[3 * i])))
    return width, abs(height), rows


def write_png(path, width, height, rows, scale):
    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF)

    raw = bytearray()
    for row in rows:
        wide = b"".join(row[3 * i: 3 * i + 3] * scale for i in range(width))
        for _ in range(scale):
            raw += b"\0" + wide
    header = struct.pack(">IIBBBBB", width * scale, height * scale, 8, 2, 0, 0, 0)
    with open(path, "wb") as out:
        out.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + chunk(b"IEND", b""))


if __name__ == "__main__":
    if len(sys.argv) not in (3, 4):
        raise SystemExit(__doc__)
    w, h, rows = read_bmp(sys.argv[1])
    write_png(sys.argv[2], w, h, rows, int(sys.argv[3]) if len(sys.argv) == 4 else 1)
