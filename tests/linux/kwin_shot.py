#!/usr/bin/python3
# A screenshot of KWin's active screen as a binary PPM, through KWin's D-Bus interface
# org.kde.KWin.ScreenShot2 (CaptureActiveScreen writes the pixels into a pipe we pass it).
#   kwin_shot.py OUT.ppm
import os
import sys

import gi

gi.require_version("Gio", "2.0")
from gi.repository import Gio, GLib  # noqa: E402

bus = Gio.bus_get_sync(Gio.BusType.SESSION, None)
read_end, write_end = os.pipe()
fds = Gio.UnixFDList.new()
fds.append(write_end)
os.close(write_end)
reply, _ = bus.call_with_unix_fd_list_sync(
    "org.kde.KWin", "/org/kde/KWin/ScreenShot2", "org.kde.KWin.ScreenShot2", "CaptureActiveScreen",
    GLib.Variant("(a{sv}h)", ({"native-resolution": GLib.Variant("b", True)}, 0)), GLib.VariantType("(a{sv})"),
    Gio.DBusCallFlags.NONE, 5000, fds, None)
fds = None  # our copy of the pipe's write end: KWin holds its own
(info,) = reply.unpack()
data = bytearray()
with os.fdopen(read_end, "rb") as pipe:
    while chunk := pipe.read(1 << 20):
        data += chunk
width, height, stride = info["width"], info["height"], info["stride"]
if len(data) < stride * height:
    sys.exit("kwin_shot: %d bytes for %dx%d (stride %d)" % (len(data), width, height, stride))
# QImage's 32-bit formats, little-endian: B, G, R, A in memory.
rgb = bytearray(width * height * 3)
for y in range(height):
    row = data[y * stride:y * stride + width * 4]
    out = rgb[y * width * 3:(y + 1) * width * 3]
    out[0::3], out[1::3], out[2::3] = row[2::4], row[1::4], row[0::4]
    rgb[y * width * 3:(y + 1) * width * 3] = out
with open(sys.argv[1], "wb") as f:
    f.write(b"P6\n%d %d\n255\n" % (width, height))
    f.write(rgb)
