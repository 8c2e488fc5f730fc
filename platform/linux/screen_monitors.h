// The screen's monitors and their work areas, where the windows and the selectors' lists are
// placed.
#pragma once

#include <vector>

#include "resources/placement.h"

namespace brisel::linux_fltk {

// The screen's monitors as Xinerama reports them through FLTK, each with its work area: the
// monitor less what the desktop publishes as reserved (GNOME's per-monitor
// _GTK_WORKAREAS_D<desktop>, or else the EWMH _NET_WORKAREA of the current desktop), read anew
// at each call.
std::vector<Monitor> ScreenMonitors();

}  // namespace brisel::linux_fltk
