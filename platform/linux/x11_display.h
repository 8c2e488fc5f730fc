// Why XOpenDisplay gave no connection, in the words of the failure line (platform/failure.h).
#pragma once

#include <string>

namespace brisel::linux_x11 {

// For XOpenDisplay(display_name) that failed with `error` (errno just after it; 0 when Xlib
// left none): `cannot open the X display ":987": Connection refused`, or `cannot open the X
// display (DISPLAY is not set)`.
std::string CannotOpenDisplay(const char* display_name, int error);

}  // namespace brisel::linux_x11
