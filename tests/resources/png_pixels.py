#!/usr/bin/env python3
"""Reads 8-bit PNG files with Python's own zlib, independently of the libpng that brisel-art
writes them with, and 24-bit BMP files.
As a program: png_pixels.py FILE.png [X Y]...  prints "WIDTH HEIGHT COLOUR-TYPE", then each
pixel's samples (grey and alpha for colour type 4) on a line."""
import struct
import sys
import zlib

_CHANNELS = {0: 1, 2: 3, 4: 2, 6: 4}


def _predict(kind, a, b, c):
    if kind == 4:
        pa, pb, pc = abs(b - c), abs(a - c), abs(a + b - 2 * c)
        return a if pa <= pb and pa <= pc else b if pb <= pc else c
    return (0, a, b, (a + b) // 2)[kind]


def read_png(path):
    """(width, height, colour type, rows of samples, compressed image data's size)"""
    data = open(path, "rb").read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise ValueError(f"{path}: no PNG signature")
    pos, header, idat = 8, None, b""
    while pos < len(data):
        length, kind = struct.unpack_from(">I4s", data, pos)
        body = data[pos + 8: pos + 8 + length]
        if struct.unpack_from(">I", data, pos + 8 + length)[0] != zlib.crc32(kind + body):
            raise ValueError(f"{path}: bad CRC in {kind.decode()}")
        header = struct.unpack(">IIBBBBB", body) if kind == b"IHDR" else header
        idat += body if kind == b"IDAT" else b""
        pos += 12 + length
    width, height, depth, colour, _, _, interlace = header
    if depth != 8 or interlace != 0 or colour not in _CHANNELS:
        raise ValueError(f"{path}: depth {depth}, colour type {colour}, interlace {interlace}")
    bpp = _CHANNELS[colour]
    stride = width * bpp
    raw = zlib.decompress(idat)
    if len(raw) != height * (stride + 1):
        raise ValueError(f"{path}: {len(raw)} bytes of image data")
    rows, prev = [], bytearray(stride)
    for y in range(height):
        kind, line = raw[y * (stride + 1)], bytearray(raw[y * (stride + 1) + 1: (y + 1) * (stride + 1)])
        for i in range(stride):
            a, c = (line[i - bpp], prev[i - bpp]) if i >= bpp else (0, 0)
            line[i] = (line[i] + _predict(kind, a, prev[i], c)) & 0xFF
        rows.append(bytes(line))
        prev = line
    return width, height, colour, rows, len(idat)


def read_bmp(path):
    """(width, height, rows of (R, G, B)) of an uncompressed 24-bit bitmap."""
    data = open(path, "rb").read()
    offset, = struct.unpack_from("<I", data, 10)
    width, height, _, bits, compression = struct.unpack_from("<iiHHI", data, 18)
    if data[:2] != b"BM" or bits != 24 or compression != 0:
        raise ValueError(f"{path}: not a 24-bit uncompressed bitmap")
    stride = (width * 3 + 3) // 4 * 4
    rows = [data[offset + (y if height < 0 else height - 1 - y) * stride:][:width * 3] for y in range(abs(height))]
    return width, abs(height), [[(r[3 * x + 2], r[3 * x + 1], r[3 * x]) for x in range(width)] for r in rows]


if __name__ == "__main__":
    if len(sys.argv) < 2 or len(sys.argv) % 2:
        raise SystemExit(__doc__)
    w, h, colour, rows, _ = read_png(sys.argv[1])
    print(w, h, colour)
    n = _CHANNELS[colour]
    for x, y in zip(map(int, sys.argv[2::2]), map(int, sys.argv[3::2])):
        print(*rows[y][x * n: x * n + n])
