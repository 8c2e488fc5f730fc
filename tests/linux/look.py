#!/usr/bin/python3
"""How a screenshot shows the display over a backdrop of one flat colour, for the desktop tests.
  look.py SHOT.ppm X Y PICTURE.bmp RRGGBB
    The display's rectangle at X,Y in the screenshot (a binary PPM) against the picture as drawn
    (a 24-bit BMP, as brisel-sim's snapshot writes it) over the backdrop's colour. Prints
    "corners C/4 alpha A": how many of its four corner pixels show the backdrop (the outline cuts
    them off), and the display's opacity there, 0 to 1, the median over the pixels where picture
    and backdrop differ. Exit status 0 when translucent (A 0.75 to 0.95) and rounded (4/4).
  look.py frames RAW WIDTH HEIGHT PICTURE.bmp RRGGBB
    RAW holds frames of WIDTH x HEIGHT RGB pixels (rows padded to 4 bytes), each the display's
    rectangle as a screen cast filmed it: prints each frame's "C A" as above, one a line.
  look.py same A.ppm B.ppm X Y W H
    The rectangle in two screenshots: prints their mean difference and how many values (of its
    pixels' R, G and B) differ by more than 40. Exit status 0 for a mean of at most 2, none that far."""
import os
import re
import statistics
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "resources"))
from png_pixels import read_bmp  # noqa: E402


def read_ppm(path):
    data = open(path, "rb").read()
    header = re.match(rb"P6\s+(\d+)\s+(\d+)\s+255\s", data)
    return int(header[1]), int(header[2]), data[header.end():]


def opacity(pixel, picture, backdrop):
    """The median opacity over the pixels where the picture differs from the backdrop."""
    alphas = [(pixel(x, y)[c] - backdrop[c]) / (drawn[c] - backdrop[c])
              for y, row in enumerate(picture) for x, drawn in enumerate(row)
              for c in range(3) if abs(drawn[c] - backdrop[c]) >= 64]
    return statistics.median(alphas) if alphas else 0.0


def corners(pixel, w, h, backdrop):
    """How many of the rectangle's corner pixels show the backdrop."""
    return sum(all(abs(a - b) <= 3 for a, b in zip(pixel(x, y), backdrop))
               for x, y in ((0, 0), (w - 1, 0), (0, h - 1), (w - 1, h - 1)))


def main(args):
    if args[0] == "same":
        x0, y0, w, h = map(int, args[3:7])
        (wa, _, a), (wb, _, b) = read_ppm(args[1]), read_ppm(args[2])
        differences = [abs(a[((y0 + y) * wa + x0) * 3 + i] - b[((y0 + y) * wb + x0) * 3 + i])
                       for y in range(h) for i in range(w * 3)]
        mean, far = sum(differences) / len(differences), sum(d > 40 for d in differences)
        print("mean difference %.2f, %d values off by more than 40" % (mean, far))
        return 0 if mean <= 2 and far == 0 else 1
    if args[0] == "frames":
        width, height, (_, _, picture), backdrop = int(args[2]), int(args[3]), read_bmp(args[4]), bytes.fromhex(args[5])
        picture = [row[:width] for row in picture[:height]]
        data = open(args[1], "rb").read()
        stride = (width * 3 + 3) & ~3  # GStreamer's rows of RGB pixels start at multiples of 4
        size = stride * height
        for frame in (data[start:start + size] for start in range(0, len(data) - size + 1, size)):
            def pixel(x, y):
                return frame[y * stride + x * 3:y * stride + x * 3 + 3]
            print("%d %.3f" % (corners(pixel, width, height, backdrop), opacity(pixel, picture, backdrop)))
        return 0
    x0, y0, (w, h, picture), backdrop = int(args[1]), int(args[2]), read_bmp(args[3]), bytes.fromhex(args[4])
    width, _, data = read_ppm(args[0])

    def pixel(x, y):
        at = ((y0 + y) * width + x0 + x) * 3
        return data[at:at + 3]

    cut, alpha = corners(pixel, w, h, backdrop), opacity(pixel, picture, backdrop)
    print("corners %d/4 alpha %.3f" % (cut, alpha))
    return 0 if cut == 4 and 0.75 <= alpha <= 0.95 else 1


sys.exit(main(sys.argv[1:]))
