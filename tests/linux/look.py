#!/usr/bin/python3
# How a screenshot shows the display over a backdrop of one flat colour, for the desktop tests.
#   look.py SHOT.ppm X Y PICTURE.bmp RRGGBB
#     The display's rectangle at X,Y in the screenshot (a binary PPM) against the picture as drawn
#     (a 24-bit BMP, as brisel-sim's snapshot writes it) over the backdrop's colour. Prints
#     "corners C/4 alpha A": how many of the rectangle's four corner pixels show the backdrop
#     (the outline cuts them off), and the display's opacity there, 0 to 1, as the median over
#     the pixels where picture and backdrop differ (0: not there, 0.86: 220 of 255, 1: opaque).
#     Exit status 0 when the display is translucent (A between 0.75 and 0.95) and rounded (4/4).
#   look.py frames RAW WIDTH HEIGHT PICTURE.bmp RRGGBB
#     RAW holds frames of WIDTH x HEIGHT RGB pixels (rows padded to 4 bytes), each a crop of the screen to the display's
#     rectangle (as a screen cast filmed it); prints each frame's "C A" as above, one a line.
#   look.py same A.ppm B.ppm X Y W H
#     The rectangle at X,Y, W x H, in two screenshots: prints their mean difference and how many
#     values (of its pixels' R, G and B) differ by more than 40. Exit status 0 when they look the
#     same: a mean of at most 2, none that far.
import statistics
import struct
import sys


def read_ppm(path):
    data = open(path, "rb").read()
    fields, pos = [], 0
    while len(fields) < 4:
        while data[pos:pos + 1].isspace():
            pos += 1
        end = pos
        while not data[end:end + 1].isspace():
            end += 1
        fields.append(data[pos:end])
        pos = end
    width, height = int(fields[1]), int(fields[2])
    return width, height, data[pos + 1:]


def read_bmp(path):
    data = open(path, "rb").read()
    offset, = struct.unpack_from("<I", data, 10)
    width, height = struct.unpack_from("<ii", data, 18)
    bits, = struct.unpack_from("<H", data, 28)
    assert bits == 24, "a 24-bit BMP"
    stride = (width * 3 + 3) & ~3
    rows = []
    for y in range(abs(height)):
        row = y if height < 0 else abs(height) - 1 - y
        start = offset + row * stride
        line = data[start:start + width * 3]
        rows.append([(line[3 * x + 2], line[3 * x + 1], line[3 * x]) for x in range(width)])
    return width, height if height > 0 else -height, rows


def opacity(pixel, picture, backdrop):
    """The median opacity over the pixels where the picture differs from the backdrop."""
    alphas = []
    for y, row in enumerate(picture):
        for x, drawn in enumerate(row):
            for c in range(3):
                if abs(drawn[c] - backdrop[c]) >= 64:
                    alphas.append((pixel(x, y)[c] - backdrop[c]) / (drawn[c] - backdrop[c]))
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
        raw, width, height, bmp, colour = args[1], int(args[2]), int(args[3]), args[4], args[5]
        backdrop = bytes.fromhex(colour)
        _, _, picture = read_bmp(bmp)
        picture = [row[:width] for row in picture[:height]]
        data = open(raw, "rb").read()
        stride = (width * 3 + 3) & ~3  # GStreamer's rows of RGB pixels start at multiples of 4
        size = stride * height
        for start in range(0, len(data) - size + 1, size):
            frame = data[start:start + size]

            def pixel(x, y):
                return frame[y * stride + x * 3:y * stride + x * 3 + 3]
            print("%d %.3f" % (corners(pixel, width, height, backdrop), opacity(pixel, picture, backdrop)))
        return 0
    shot, x0, y0, bmp, colour = args[0], int(args[1]), int(args[2]), args[3], args[4]
    backdrop = bytes.fromhex(colour)
    width, _, data = read_ppm(shot)
    w, h, picture = read_bmp(bmp)

    def pixel(x, y):
        at = ((y0 + y) * width + x0 + x) * 3
        return data[at:at + 3]

    cut = corners(pixel, w, h, backdrop)
    alpha = opacity(pixel, picture, backdrop)
    print("corners %d/4 alpha %.3f" % (cut, alpha))
    return 0 if cut == 4 and 0.75 <= alpha <= 0.95 else 1


sys.exit(main(sys.argv[1:]))
