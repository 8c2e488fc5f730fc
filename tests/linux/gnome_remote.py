#!/usr/bin/python3
# Types keys into a GNOME Wayland session and films its screen, through mutter's own D-Bus
# interfaces (org.gnome.Mutter.RemoteDesktop and org.gnome.Mutter.ScreenCast) on the session bus.
# It holds both sessions open and reads commands from standard input, one a line; each answer is
# one line on standard output ("ok", or what was asked for), so a test drives it as a co-process:
#   key KEYSYM...   a press and a release of each keysym (numbers, as 0xffc7 for F10), in turn
#   node            the PipeWire node id of the monitor's screen cast
# The first key of a remote desktop session is dropped: it sends a Shift tap of its own first.
import sys

import gi

gi.require_version("Gio", "2.0")
from gi.repository import Gio, GLib  # noqa: E402

bus = Gio.bus_get_sync(Gio.BusType.SESSION, None)


def call(path, interface, method, args=None, reply=None):
    result = bus.call_sync("org.gnome.Mutter." + interface.split(".")[0], path,
                           "org.gnome.Mutter." + interface, method, args,
                           GLib.VariantType(reply) if reply else None, Gio.DBusCallFlags.NONE, 5000, None)
    return result.unpack() if result else None


def wait_until(done, seconds):
    context = GLib.MainContext.default()
    deadline = GLib.get_monotonic_time() + seconds * 1000000
    while not done() and GLib.get_monotonic_time() < deadline:
        context.iteration(False) or GLib.usleep(5000)
    return done()


# The keyboard.
(desktop,) = call("/org/gnome/Mutter/RemoteDesktop", "RemoteDesktop", "CreateSession", None, "(o)")
call(desktop, "RemoteDesktop.Session", "Start")


def tap(keysym):
    for pressed in (True, False):
        call(desktop, "RemoteDesktop.Session", "NotifyKeyboardKeysym", GLib.Variant("(ub)", (keysym, pressed)))


tap(0xffe1)

# The screen: the monitor's stream, whose PipeWire node comes in a signal.
(cast,) = call("/org/gnome/Mutter/ScreenCast", "ScreenCast", "CreateSession",
               GLib.Variant("(a{sv})", ({},)), "(o)")
(stream,) = call(cast, "ScreenCast.Session", "RecordMonitor",
                 GLib.Variant("(sa{sv})", ("Meta-0", {"cursor-mode": GLib.Variant("u", 0)})), "(o)")
node = []
bus.signal_subscribe("org.gnome.Mutter.ScreenCast", "org.gnome.Mutter.ScreenCast.Stream", "PipeWireStreamAdded",
                     stream, None, Gio.DBusSignalFlags.NONE, lambda *a: node.append(a[5].unpack()[0]))
call(cast, "ScreenCast.Session", "Start")
if not wait_until(lambda: node, 10):
    sys.exit("gnome_remote: the screen cast has no PipeWire stream")

print("ready", flush=True)
for line in sys.stdin:
    words = line.split()
    if not words:
        continue
    if words[0] == "key":
        for keysym in words[1:]:
            tap(int(keysym, 0))
        print("ok", flush=True)
    elif words[0] == "node":
        print(node[0], flush=True)
    else:
        print("unknown command " + words[0], flush=True)
