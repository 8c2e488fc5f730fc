// What the X probes of the tests and the benchmark share: a monotonic clock, a quiet X error
// handler, a window's class-hint name, and fake key presses.
#pragma once

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
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

// Sends a press, a release, or both (a tap: in one request batch, never seen down by two ticks of
// the program) of KEYSYM, and waits until the server has them. False when no key carries KEYSYM.
inline bool SendKey(Display* dpy, const char* keysym, bool press, bool release) {
  const KeySym sym = XStringToKeysym(keysym);
  const KeyCode code = sym == NoSymbol ? 0 : XKeysymToKeycode(dpy, sym);
  if (!code) return false;
  if (press) XTestFakeKeyEvent(dpy, code, True, CurrentTime);
  if (release) XTestFakeKeyEvent(dpy, code, False, CurrentTime);
  XSync(dpy, False);
  return true;
}

}  // namespace xprobe_util
