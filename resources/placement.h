// Where a window appears: centred on the work area of the monitor that holds the mouse
// pointer, whole on it. The platforms only say where the monitors, their work areas and the
// pointer are; this decides.
#pragma once

#include <cstddef>
#include <span>

#include "resources/layout.h"

namespace brisel {

struct Monitor {
  Rect bounds;  // the whole monitor, in screen pixels
  Rect work;    // less what the desktop reserves for its panels
};

// The monitor that holds the point; where none does (the pointer in a gap between monitors of
// different sizes), the nearest one, as Windows' MONITOR_DEFAULTTONEAREST. `monitors` is not
// empty.
std::size_t MonitorAt(std::span<const Monitor> monitors, int x, int y);

// A window of this size centred on the area (halves rounded towards the top left), and kept
// whole on it where it fits; one larger than the area starts at its top left.
Rect CentreOn(const Rect& area, int width, int height);

// The window's place for a pointer at (x, y): CentreOn the work area of MonitorAt. With no
// monitor known, the window stays at the origin.
Rect PlaceWindow(std::span<const Monitor> monitors, int x, int y, int width, int height);

// A monitor's work area from what the desktop publishes: the published rectangle that overlaps
// the monitor most (a desktop publishes one over all monitors, or one per monitor), cut to
// the monitor; the whole monitor where none overlaps it.
Rect WorkAreaOf(const Rect& monitor, std::span<const Rect> published);

}  // namespace brisel
