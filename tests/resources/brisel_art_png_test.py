#!/usr/bin/env python3
"""The icons brisel-art writes as PNGs decode, read by Python's own zlib, to the pixels that
brisel-art computes, as its grey .bmp sheet of the same icon shows them (grey left, alpha right);
and their image data is compressed.  brisel_art_png_test.py BRISEL-ART"""
import os
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from png_pixels import read_bmp, read_png  # noqa: E402

failures = []
with tempfile.TemporaryDirectory(prefix="brisel-art-png.") as tmp:
    for size in (16, 48, 128, 333):
        png, bmp = os.path.join(tmp, f"{size}.png"), os.path.join(tmp, f"{size}.bmp")
        for out in (png, bmp):
            subprocess.run([sys.argv[1], "--icon", str(size), out], check=True)
        width, height, colour, rows, packed = read_png(png)
        sheet_w, sheet_h, sheet = read_bmp(bmp)
        if (width, height, colour) != (size, size, 4) or (sheet_w, sheet_h) != (2 * size, size):
            failures.append(f"{size}: PNG {width}x{height} colour type {colour}, sheet {sheet_w}x{sheet_h}")
            continue
        for name, first, left in (("grey", 0, 0), ("alpha", 1, size)):
            wrong = [(x, y) for y in range(size) for x in range(size) if (rows[y][2 * x + first],) * 3 != sheet[y][left + x]]
            if wrong:
                failures.append(f"{size}: {len(wrong)} {name} samples differ, the first at {wrong[0]}")
        raw = size * (1 + 2 * size)
        if size >= 48 and packed * 2 > raw:
            failures.append(f"{size}: {packed} bytes of image data for {raw} bytes of pixels")
        print(f"icon {size}x{size}: {raw} bytes of pixels in {packed} bytes")
for failure in failures:
    print("FAIL:", failure)
sys.exit(1 if failures else 0)
