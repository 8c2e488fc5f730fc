#!/usr/bin/python3
# A Wayland window of one flat colour, maximized, for the desktop tests: the display shows over it.
# It writes a line on standard output once it shows ("shown"), for each key it gets ("key NAME")
# and each change of its focus ("focus in", "focus out").
#   backdrop.py RRGGBB
import sys

import gi

gi.require_version("Gtk", "3.0")
gi.require_version("Gdk", "3.0")
from gi.repository import Gdk, Gtk  # noqa: E402

colour = Gdk.RGBA()
colour.parse("#" + sys.argv[1])
window = Gtk.Window(title="backdrop", decorated=False)
window.override_background_color(Gtk.StateFlags.NORMAL, colour)
for signal, line in (("map-event", lambda e: "shown"), ("key-press-event", lambda e: "key " + Gdk.keyval_name(e.keyval)),
                     ("focus-in-event", lambda e: "focus in"), ("focus-out-event", lambda e: "focus out")):
    window.connect(signal, lambda w, e, line=line: print(line(e), flush=True))
window.connect("destroy", Gtk.main_quit)
window.maximize()
window.show_all()
Gtk.main()
