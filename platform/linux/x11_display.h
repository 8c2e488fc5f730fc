// Why XOpenDisplay gave no connection, in the words of the failure line (platform/failure.h).
#pragma once

#include <X11/Xlib.h>

#include <string>

namespace brisel::linux_x11 {

// For XOpenDisplay(display_name) that failed with `error` (errno just after it; 0 when Xlib
// left none): `cannot open the X display ":987": Connection refused`, or `cannot open the X
// display (DISPLAY is not set)`.
std::string CannotOpenDisplay(const char* display_name, int error);

// The screen's resolution as the desktop sets it for programs: the Xft.dpi resource of the root
// window's RESOURCE_MANAGER, as the connection read it when it opened; 96 where it is not set.
double ResourceDpi(Display* display);

}  // namespace brisel::linux_x11
