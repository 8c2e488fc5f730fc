#!/usr/bin/python3
# Types keys into a GNOME Wayland session and films its screen, through mutter's D-Bus interfaces
# RemoteDesktop and ScreenCast. It holds both sessions open and answers each line on standard input
# with one ("ready" first), as a test's co-process: "key KEYSYM..." (0xffc7 for F10), a press and a
# release of each in turn: "ok"; "node": the PipeWire node id of the monitor's screen cast.
import sys

import gi

gi.require_version("Gio", "2.0")
from gi.repository import Gio, GLib  # noqa: E402

bus = Gio.bus_get_sync(Gio.BusType.SESSION, None)


def call(path, interface, method, args=None, reply="()"):
    return bus.call_sync("org.gnome.Mutter." + interface.split(".")[0], path, "org.gnome.Mutter." + interface,
                         method, args, GLib.VariantType(reply), Gio.DBusCallFlags.NONE, 5000, None).unpack()


def tap(keysym):
    for pressed in (True, False):
        call(desktop, "RemoteDesktop.Session", "NotifyKeyboardKeysym", GLib.Variant("(ub)", (keysym, pressed)))


(desktop,) = call("/org/gnome/Mutter/RemoteDesktop", "RemoteDesktop", "CreateSession", None, "(o)")
call(desktop, "RemoteDesktop.Session", "Start")
tap(0xffe1)  # the first key of a session is dropped: a Shift
(cast,) = call("/org/gnome/Mutter/ScreenCast", "ScreenCast", "CreateSession", GLib.Variant("(a{sv})", ({},)), "(o)")
(stream,) = call(cast, "ScreenCast.Session", "RecordMonitor",
                 GLib.Variant("(sa{sv})", ("Meta-0", {"cursor-mode": GLib.Variant("u", 0)})), "(o)")
node = []  # the stream's PipeWire node comes in a signal
bus.signal_subscribe("org.gnome.Mutter.ScreenCast", "org.gnome.Mutter.ScreenCast.Stream", "PipeWireStreamAdded",
                     stream, None, Gio.DBusSignalFlags.NONE, lambda *a: node.append(a[5].unpack()[0]))
call(cast, "ScreenCast.Session", "Start")
deadline = GLib.get_monotonic_time() + 10000000
while not node and GLib.get_monotonic_time() < deadline:
    GLib.MainContext.default().iteration(False) or GLib.usleep(5000)
if not node:
    sys.exit("gnome_remote: the screen cast has no PipeWire stream")
print("ready", flush=True)
for line in sys.stdin:
    words = line.split() or [""]
    for keysym in words[1:] if words[0] == "key" else []:
        tap(int(keysym, 0))
    print(node[0] if words[0] == "node" else "ok", flush=True)
