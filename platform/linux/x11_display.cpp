#include "platform/linux/x11_display.h"

#include <X11/Xlib.h>
#include <X11/Xresource.h>

#include <cstdlib>
#include <cstring>

namespace brisel::linux_x11 {

std::string CannotOpenDisplay(const char* display_name, int error) {
  const char* name = XDisplayName(display_name);  // the name given, or $DISPLAY
  if (!name || !*name) return "cannot open the X display (DISPLAY is not set)";
  std::string text = "cannot open the X display \"" + std::string(name) + "\"";
  if (error != 0) text += std::string(": ") + std::strerror(error);
  return text;
}

double ResourceDpi(Display* display) {
  constexpr double kDefault = 96;
  const char* resources = XResourceManagerString(display);
  if (!resources) return kDefault;
  XrmInitialize();
  const XrmDatabase db = XrmGetStringDatabase(resources);
  if (!db) return kDefault;
  char* type = nullptr;
  XrmValue value{};
  double dpi = kDefault;
  if (XrmGetResource(db, "Xft.dpi", "Xft.Dpi", &type, &value) && value.addr) {
    char* end = nullptr;
    const double read = std::strtod(value.addr, &end);
    if (end != value.addr && read > 0) dpi = read;
  }
  XrmDestroyDatabase(db);
  return dpi;
}

}  // namespace brisel::linux_x11
