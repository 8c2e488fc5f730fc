#!/usr/bin/python3
# A Wayland window of one flat colour, maximized, for the desktop tests: the display shows over
# it, so a screenshot tells the display's translucent and rounded pixels from the window behind.
# It takes the keyboard focus when shown, and writes one line on standard output for each key it
# gets ("key NAME") and each change of its focus ("focus in", "focus out").
#   backdrop.py RRGGBB
import sys

import gi

gi.require_version("Gtk", "3.0")
gi.require_version("Gdk", "3.0")
from gi.repository import Gdk, Gtk  # noqa: E402


def say(text):
    print(text, flush=True)
    return False


colour = Gdk.RGBA()
colour.parse("#" + sys.argv[1])
window = Gtk.Window(title="backdrop")
window.set_decorated(False)
window.override_background_color(Gtk.StateFlags.NORMAL, colour)
window.connect("key-press-event", lambda w, e: say("key " + Gdk.keyval_name(e.keyval)))
window.connect("focus-in-event", lambda w, e: say("focus in"))
window.connect("focus-out-event", lambda w, e: say("focus out"))
window.connect("destroy", Gtk.main_quit)
window.maximize()
window.show_all()
Gtk.main()
