#include "platform/linux/screen_monitors.h"

#include <FL/Fl.H>
#include <FL/x.H>
#include <X11/Xatom.h>

#include <cstddef>
#include <string>

namespace brisel::linux_fltk {

namespace {

// A root window property of 32-bit numbers (CARDINAL); empty where it is not set.
std::vector<long> RootCardinals(const std::string& name) {
  const Atom atom = XInternAtom(fl_display, name.c_str(), True);
  std::vector<long> values;
  if (atom == None) return values;
  Atom type = None;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  if (XGetWindowProperty(fl_display, RootWindow(fl_display, fl_screen), atom, 0, 4096, False, XA_CARDINAL, &type,
                         &format, &count, &after, &data) == Success &&
      type == XA_CARDINAL && format == 32 && data)
    values.assign(reinterpret_cast<long*>(data), reinterpret_cast<long*>(data) + count);
  if (data) XFree(data);
  return values;
}

std::vector<Rect> Rects(const std::vector<long>& v, std::size_t first, std::size_t count) {
  std::vector<Rect> rects;
  for (std::size_t i = first; i < first + count && 4 * i + 3 < v.size(); ++i)
    rects.push_back({static_cast<int>(v[4 * i]), static_cast<int>(v[4 * i + 1]), static_cast<int>(v[4 * i + 2]),
                     static_cast<int>(v[4 * i + 3])});
  return rects;
}

// The work areas the desktop publishes for its current desktop: one per monitor (GNOME), or
// one over all of them (EWMH); none without a desktop.
std::vector<Rect> PublishedWorkAreas() {
  const std::vector<long> current = RootCardinals("_NET_CURRENT_DESKTOP");
  const std::size_t desktop = current.empty() || current[0] < 0 ? 0 : static_cast<std::size_t>(current[0]);
  const std::vector<long> gtk = RootCardinals("_GTK_WORKAREAS_D" + std::to_string(desktop));
  if (!gtk.empty()) return Rects(gtk, 0, gtk.size() / 4);
  const std::vector<long> net = RootCardinals("_NET_WORKAREA");
  return Rects(net, net.size() >= 4 * (desktop + 1) ? desktop : 0, 1);
}

}  // namespace

std::vector<Monitor> ScreenMonitors() {
  const std::vector<Rect> published = PublishedWorkAreas();
  std::vector<Monitor> monitors;
  for (int n = 0; n < Fl::screen_count(); ++n) {
    Rect head{};
    Fl::screen_xywh(head.left, head.top, head.width, head.height, n);
    monitors.push_back({head, WorkAreaOf(head, published)});
  }
  return monitors;
}

}  // namespace brisel::linux_fltk
