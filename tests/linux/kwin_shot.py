#!/usr/bin/python3
# kwin_shot.py OUT.ppm: a screenshot of KWin's active screen as a binary PPM, through its D-Bus
# interface ScreenShot2 (CaptureActiveScreen writes the pixels into a pipe we pass it).
import os
import sys

import gi

gi.require_version("Gio", "2.0")
from gi.repository import Gio, GLib  # noqa: E402

read_end, write_end = os.pipe()
fds = Gio.UnixFDList.new()
fds.append(write_end)
os.close(write_end)
reply, _ = Gio.bus_get_sync(Gio.BusType.SESSION, None).call_with_unix_fd_list_sync(
    "org.kde.KWin", "/org/kde/KWin/ScreenShot2", "org.kde.KWin.ScreenShot2", "CaptureActiveScreen",
    GLib.Variant("(a{sv}h)", ({"native-resolution": GLib.Variant("b", True)}, 0)), GLib.VariantType("(a{sv})"),
    Gio.DBusCallFlags.NONE, 5000, fds, None)
fds = None  # our copy of the pipe's write end: KWin holds its own
(info,) = reply.unpack()
with os.fdopen(read_end, "rb") as pipe:
    data = pipe.read()
width, height, stride = info["width"], info["height"], info["stride"]
if len(data) < stride * height:
    sys.exit("kwin_shot: %d bytes for %dx%d (stride %d)" % (len(data), width, height, stride))
# QImage's 32-bit formats, little-endian: B, G, R, A in memory.
pixels = b"".join(data[y * stride:y * stride + width * 4] for y in range(height))
rgb = bytearray(width * height * 3)
rgb[0::3], rgb[1::3], rgb[2::3] = pixels[2::4], pixels[1::4], pixels[0::4]
with open(sys.argv[1], "wb") as f:
    f.write(b"P6\n%d %d\n255\n" % (width, height) + rgb)
