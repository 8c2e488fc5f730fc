#include "platform/linux/x11_display.h"

#include <X11/Xlib.h>

#include <cstring>

namespace brisel::linux_x11 {

std::string CannotOpenDisplay(const char* display_name, int error) {
  const char* name = XDisplayName(display_name);  // the name given, or $DISPLAY
  if (!name || !*name) return "cannot open the X display (DISPLAY is not set)";
  std::string text = "cannot open the X display \"" + std::string(name) + "\"";
  if (error != 0) text += std::string(": ") + std::strerror(error);
  return text;
}

}  // namespace brisel::linux_x11
