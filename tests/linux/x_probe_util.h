// What the X probes of the tests and the benchmark share: a monotonic clock, a quiet X error
// handler, and a window's class-hint name.
#pragma once

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <time.h>

#include <string>

namespace xprobe_util {

inline double NowMs() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<double>(ts.tv_sec) * 1000.0 + static_cast<double>(ts.tv_nsec) / 1e6;
}

// Windows come and go while a probe looks at them; their errors mean "gone".
inline int IgnoreErrors(Display*, XErrorEvent*) { return 0; }

inline std::string ResName(Display* dpy, Window w) {
  XClassHint hint{};
  if (!XGetClassHint(dpy, w, &hint)) return {};
  std::string name = hint.res_name ? hint.res_name : "";
  if (hint.res_name) XFree(hint.res_name);
  if (hint.res_class) XFree(hint.res_class);
  return name;
}

}  // namespace xprobe_util
