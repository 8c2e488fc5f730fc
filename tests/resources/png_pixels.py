#!/usr/bin/env python3
"""Reads 8-bit PNG and 24-bit BMP files with Python's own zlib, independently of the libpng
that brisel-art writes its PNGs with.

As a program: png_pixels.py FILE.png [X Y]...  prints "WIDTH HEIGHT COLOUR-TYPE", then for
each pixel X Y asked for, its samples (grey and alpha for colour type 4) on a line."""
import struct
import sys
import zlib

_CHANNELS = {0: 1, 2: 3, 4: 2, 6: 4}


def _unfilter(kind, line, prev, bpp):
    for i in range(len(line)):
        a = line[i - bpp] if i >= bpp else 0
        b = prev[i]
        c = prev[i - bpp] if i >= bpp else 0
        if kind == 0:
            p = 0
        elif kind == 1:
            p = a
        elif kind == 2:
            p = b
        elif kind == 3:
            p = (a + b) // 2
        elif kind == 4:
            pa, pb, pc = abs(b - c), abs(a - c), abs(a + b - 2 * c)
            p = a if pa <= pb and pa <= pc else b if pb <= pc else c
        else:
            raise ValueError(f"filter type {kind}")
        line[i] = (line[i] + p) & 0xFF


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
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            idat += body
        elif kind == b"IEND":
            break
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
        start = y * (stride + 1)
        line = bytearray(raw[start + 1: start + 1 + stride])
        _unfilter(raw[start], line, prev, bpp)
        rows.append(bytes(line))
        prev = line
    return width, height, colour, rows, len(idat)


def read_bmp_grey(path):
    """(width, height, rows of grey) of a 24-bit uncompressed bitmap whose red, green and blue
    are equal, as brisel-art and the simulator write them."""
    data = open(path, "rb").read()
    offset = struct.unpack_from("<I", data, 10)[0]
    width, height = struct.unpack_from("<ii", data, 18)
    bits, compression = struct.unpack_from("<HI", data, 28)
    if data[:2] != b"BM" or bits != 24 or compression != 0 or height <= 0:
        raise ValueError(f"{path}: not a bottom-up 24-bit uncompressed bitmap")
    stride = (width * 3 + 3) // 4 * 4
    rows = []
    for y in range(height):
        row = data[offset + (height - 1 - y) * stride:][: width * 3]
        if any(row[i] != row[i + 1] or row[i] != row[i + 2] for i in range(0, len(row), 3)):
            raise ValueError(f"{path}: not grey in row {y}")
        rows.append(row[::3])
    return width, height, rows


if __name__ == "__main__":
    if len(sys.argv) < 2 or len(sys.argv) % 2:
        raise SystemExit(__doc__)
    w, h, colour, rows, _ = read_png(sys.argv[1])
    print(w, h, colour)
    n = _CHANNELS[colour]
    for x, y in zip(map(int, sys.argv[2::2]), map(int, sys.argv[3::2])):
        print(*rows[y][x * n: x * n + n])
