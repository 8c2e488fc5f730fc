// xprobe: looks at an X display for the Linux tests and the benchmark. Pictures are grey .bmp
// files (the green channel; a 32-bit window's pixels as drawn, before their alpha); R B EW EH is a
// round-rect outline. find NAME: the viewable window whose res_name is NAME. shape WINDOW R B EW EH:
// exit 0 when its bounding shape is the outline. focus: the focused window (0: none). hold-focus:
// maps a window, gives it the focus, prints its id, stays. screenshot WINDOW|root FILE [X Y W H].
// alpha|pixels WINDOW X Y...: each point's alpha ("none" without) or "R,G,B" as drawn. owner
// SELECTION: its owner, exit 1 if none. tap KEYSYM: press and release in one request batch. keys:
// sends "tap|down|up KEYSYM" lines as they come. grab KEYSYM [xi2]: grabs the key as a desktop
// binds it, says "grabbed", stays. vanish SELECTION N: N clients ask for it and destroy their
// window at once. Without a display: same-inside A B R B EW EH (each pixel within 1),
// over-backdrop SHOT REF ALPHA R B EW EH (SHOT shows REF at ALPHA over SHOT's colour at 0,0),
// drawn-at-two A B R B EW EH (A, at twice B's size, drawn so, not blown up), framebuffer FILE X Y W H
// OUT (a rectangle of an xwd dump, as Xvfb -fbdir keeps the screen).
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XInput2.h>
#include <X11/extensions/shape.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>
#include <set>
#include <string>

#include "resources/image.h"
#include "resources/layout.h"
#include "tests/linux/x_probe_util.h"
#include "tests/picture_compare.h"

namespace {

Display* dpy = nullptr;

// The first viewable window under W, depth first, whose class hint's res_name is NAME; 0: none.
Window Find(Window w, const std::string& name) {
  Window root, parent, *children = nullptr, found = 0;
  unsigned n = 0;
  if (!XQueryTree(dpy, w, &root, &parent, &children, &n)) return 0;
  for (unsigned i = 0; i < n && !found; ++i) {
    XWindowAttributes a{};
    const bool viewable = XGetWindowAttributes(dpy, children[i], &a) && a.map_state == IsViewable;
    found = viewable && xprobe_util::ResName(dpy, children[i]) == name ? children[i] : Find(children[i], name);
  }
  if (children) XFree(children);
  return found;
}

brisel::Outline OutlineArgs(char** a) { return {std::atoi(a[0]), std::atoi(a[1]), std::atoi(a[2]), std::atoi(a[3])}; }

int Shape(Window w, const brisel::Outline& o) {
  int count = 0, ordering = 0;
  XRectangle* rects = XShapeGetRectangles(dpy, w, ShapeBounding, &count, &ordering);
  std::set<std::pair<int, int>> inside;
  for (int i = 0; i < count; ++i)
    for (int y = rects[i].y; y < rects[i].y + rects[i].height; ++y)
      for (int x = rects[i].x; x < rects[i].x + rects[i].width; ++x) inside.insert({x, y});
  if (rects) XFree(rects);
  int wrong = 0;
  for (int y = -2; y < o.bottom + 2; ++y)
    for (int x = -2; x < o.right + 2; ++x) wrong += brisel::OutlineContains(o, x, y) != (inside.count({x, y}) > 0);
  std::printf("%d pixels differ\n", wrong);
  return wrong == 0 ? 0 : 1;
}

// A 32-bit window's pixels are premultiplied: the colour as drawn is the value divided by alpha.
unsigned long Drawn(unsigned long value, unsigned long alpha) {
  return alpha ? std::min(255ul, (value * 255 + alpha / 2) / alpha) : 0;
}

int Screenshot(Window w, const char* file, char** crop) {
  XWindowAttributes a{};
  if (!XGetWindowAttributes(dpy, w, &a)) return 1;
  int x0 = 0, y0 = 0, width = a.width, height = a.height;
  if (crop) x0 = std::atoi(crop[0]), y0 = std::atoi(crop[1]), width = std::atoi(crop[2]), height = std::atoi(crop[3]);
  XImage* img = XGetImage(dpy, w, x0, y0, static_cast<unsigned>(width), static_cast<unsigned>(height), AllPlanes, ZPixmap);
  if (!img) return 1;
  brisel::GreyImage out(width, height);
  const bool alpha = a.depth == 32 && w != DefaultRootWindow(dpy);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const unsigned long p = XGetPixel(img, x, y);
      out.at(x, y) = static_cast<std::uint8_t>(Drawn((p >> 8) & 0xFF, alpha ? (p >> 24) & 0xFF : 255));
    }
  XDestroyImage(img);
  std::ofstream(file, std::ios::binary) << brisel::EncodeBmp(out);
  return 0;
}

// alpha and pixels: each point's alpha ("none" without one), or its colour as drawn.
int Pixels(Window w, int n, char** points, bool alpha) {
  XWindowAttributes a{};
  if (!XGetWindowAttributes(dpy, w, &a)) return 1;
  for (int i = 0; i + 1 < n; i += 2) {
    XImage* img = XGetImage(dpy, w, std::atoi(points[i]), std::atoi(points[i + 1]), 1, 1, AllPlanes, ZPixmap);
    if (!img) return 1;
    const unsigned long p = XGetPixel(img, 0, 0), al = a.depth == 32 ? (p >> 24) & 0xFF : 255;
    XDestroyImage(img);
    if (alpha && a.depth != 32) std::printf("none\n");
    else if (alpha) std::printf("%lu\n", al);
    else std::printf("%lu,%lu,%lu\n", Drawn((p >> 16) & 0xFF, al), Drawn((p >> 8) & 0xFF, al), Drawn(p & 0xFF, al));
  }
  return 0;
}

brisel::GreyImage Load(const char* file) {
  std::ifstream in(file, std::ios::binary);
  return brisel::DecodeBmp(std::string(std::istreambuf_iterator<char>(in), {}));
}

// SHOT against REF inside the outline. Over a flat backdrop at ALPHA the screen shows backdrop +
// (drawn - backdrop) x ALPHA / 255: undone, that finds the colour as drawn to a level or two.
int Compare(const char* shot_file, const char* ref_file, int alpha, const brisel::Outline& o) {
  const brisel::GreyImage shot = Load(shot_file), ref = Load(ref_file);
  const double backdrop = shot.width ? shot.at(0, 0) : 0;
  double sum = 0;
  int compared = 0, differ = 0, far = 0;
  for (int y = 0; y < std::min(shot.height, ref.height); ++y)
    for (int x = 0; x < std::min(shot.width, ref.width); ++x)
      if (brisel::OutlineContains(o, x, y)) {
        const double d = std::abs(backdrop + (shot.at(x, y) - backdrop) * 255 / std::max(alpha, 1) - ref.at(x, y));
        sum += d, ++compared, differ += d > 1, far += d > 40;
      }
  const double mean = compared ? sum / compared : 0;
  std::printf("%d of %d pixels off by more than 1, mean difference %.2f, %d off by more than 40\n", differ, compared, mean, far);
  return compared == 0 || (alpha == 255 ? differ != 0 : mean > 2 || far > 0);
}

int DrawnAtTwo(const char* a_file, const char* b_file, const brisel::Outline& o) {
  const brisel::GreyImage twice = Load(a_file), once = Load(b_file);
  const auto agreement = brisel::testing::CompareHalved(twice, once, o);
  const double mixed = brisel::testing::ShareOfMixedBlocks(twice, o);
  std::printf("%dx%d against %dx%d: %s; %.1f %% of the blocks mixed\n", twice.width, twice.height, once.width,
              once.height, agreement.text().c_str(), mixed * 100);
  const bool sized = twice.width >= 2 * o.right - 2 && twice.height >= 2 * o.bottom - 2;
  return sized && agreement.close() && mixed > 0.02 ? 0 : 1;
}

// An xwd dump: a header of 25 numbers of 32 bits, most significant byte first; the window's name
// and the colour map's entries (12 bytes each) between it and the pixels.
int Framebuffer(const char* file, char** crop, const char* out_file) {
  std::ifstream in(file, std::ios::binary);
  const std::string data(std::istreambuf_iterator<char>(in), {});
  const auto number = [&](std::size_t i) {
    std::uint32_t n = 0;
    for (std::size_t b = 0; b < 4; ++b) n = n << 8 | static_cast<unsigned char>(data[4 * i + b]);
    return n;
  };
  if (data.size() < 100 || number(1) != 7 || number(11) != 32) return std::fprintf(stderr, "xprobe: no 32-bit xwd\n"), 1;
  const std::size_t width = number(4), height = number(5), msb_first = number(7), stride = number(12);
  const std::uint32_t green = number(15);
  const std::size_t pixels = number(0) + 12 * std::size_t{number(19)};
  const int x0 = std::atoi(crop[0]), y0 = std::atoi(crop[1]), w = std::atoi(crop[2]), h = std::atoi(crop[3]);
  if (x0 < 0 || y0 < 0 || w <= 0 || h <= 0 || std::size_t(x0 + w) > width || std::size_t(y0 + h) > height ||
      data.size() < pixels + stride * height)
    return std::fprintf(stderr, "xprobe: %dx%d+%d+%d is not on the screen\n", w, h, x0, y0), 1;
  int shift = 0;
  while (shift < 32 && !(green >> shift & 1)) ++shift;
  brisel::GreyImage out(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const char* p = data.data() + pixels + std::size_t(y0 + y) * stride + std::size_t(x0 + x) * 4;
      std::uint32_t v = 0;
      for (int b = 0; b < 4; ++b) v |= std::uint32_t{static_cast<unsigned char>(p[b])} << (msb_first ? 24 - 8 * b : 8 * b);
      out.at(x, y) = static_cast<std::uint8_t>((v & green) >> shift);
    }
  std::ofstream(out_file, std::ios::binary) << brisel::EncodeBmp(out);
  return 0;
}

// Says LINE once the server has every request, and stays.
[[noreturn]] void Stay(const std::string& line) {
  XSync(dpy, False);
  std::printf("%s\n", line.c_str());
  std::fflush(stdout);
  for (XEvent ev;;) XNextEvent(dpy, &ev);
}

void HoldFocus() {
  const Window w = XCreateSimpleWindow(dpy, DefaultRootWindow(dpy), 0, 0, 100, 100, 0, 0, 0);
  XStoreName(dpy, w, "focus-holder");
  XSelectInput(dpy, w, StructureNotifyMask);
  XMapWindow(dpy, w);
  XEvent ev;
  do XNextEvent(dpy, &ev);
  while (ev.type != MapNotify);
  XSetInputFocus(dpy, w, RevertToParent, CurrentTime);
  Stay(std::to_string(w));
}

// WHAT: tap, down or up.
bool SendKey(const std::string& what, const std::string& keysym) {
  const bool known = what == "tap" || what == "down" || what == "up";
  if (known && xprobe_util::SendKey(dpy, keysym.c_str(), what != "up", what != "down")) return true;
  return std::fprintf(stderr, "xprobe: cannot %s %s\n", what.c_str(), keysym.c_str()), false;
}

int Keys() {
  for (std::string what, keysym; std::cin >> what >> keysym;)
    if (!SendKey(what, keysym)) return 1;
  return 0;
}

int Grab(const char* name, bool xi2) {
  const KeyCode code = XKeysymToKeycode(dpy, XStringToKeysym(name));
  unsigned char bits[XIMaskLen(XI_KeyPress)] = {};
  XISetMask(bits, XI_KeyPress);
  XIEventMask mask{XIAllMasterDevices, sizeof bits, bits};
  XIGrabModifiers bare{0, 0};
  if (code == 0 || (xi2 && XIGrabKeycode(dpy, XIAllMasterDevices, code, DefaultRootWindow(dpy), XIGrabModeAsync,
                                         XIGrabModeAsync, False, &mask, 1, &bare) != 0))
    return 1;
  if (!xi2) XGrabKey(dpy, code, AnyModifier, DefaultRootWindow(dpy), False, GrabModeAsync, GrabModeAsync);
  Stay("grabbed");
}

// Each client's window is gone before the owner answers: its reply names a window that no longer
// exists.
int Vanish(const char* selection, int clients) {
  for (int i = 0; i < clients; ++i) {
    Display* d = XOpenDisplay(nullptr);
    if (!d) return 1;
    const Window w = XCreateSimpleWindow(d, DefaultRootWindow(d), 0, 0, 1, 1, 0, 0, 0);
    XConvertSelection(d, XInternAtom(d, selection, False), XA_STRING, XInternAtom(d, "XPROBE", False), w, CurrentTime);
    XDestroyWindow(d, w);
    XCloseDisplay(d);
  }
  return 0;
}

int PrintWindow(Window w) { return w ? (std::printf("%lu\n", w), 0) : 1; }

}  // namespace

int main(int argc, char** argv) {
  const std::string cmd = argc > 1 ? argv[1] : "";
  if ((cmd == "same-inside" && argc == 8) || (cmd == "over-backdrop" && argc == 9))
    return Compare(argv[2], argv[3], argc == 8 ? 255 : std::atoi(argv[4]), OutlineArgs(argv + argc - 4));
  if (cmd == "drawn-at-two" && argc == 8) return DrawnAtTwo(argv[2], argv[3], OutlineArgs(argv + 4));
  if (cmd == "framebuffer" && argc == 8) return Framebuffer(argv[2], argv + 3, argv[7]);
  dpy = XOpenDisplay(nullptr);
  if (!dpy || argc < 2) return std::fprintf(stderr, "xprobe: no display or no command\n"), 2;
  XSetErrorHandler(xprobe_util::IgnoreErrors);
  const auto window = [&](int i) { return std::strcmp(argv[i], "root") == 0 ? DefaultRootWindow(dpy) : std::strtoul(argv[i], nullptr, 0); };
  if (cmd == "find" && argc == 3) return PrintWindow(Find(DefaultRootWindow(dpy), argv[2]));
  if (cmd == "owner" && argc == 3) return PrintWindow(XGetSelectionOwner(dpy, XInternAtom(dpy, argv[2], False)));
  if (cmd == "shape" && argc == 7) return Shape(window(2), OutlineArgs(argv + 3));
  Window focus = 0;
  int revert = 0;
  if (cmd == "focus" && argc == 2 && XGetInputFocus(dpy, &focus, &revert))
    return std::printf("%lu\n", focus == PointerRoot ? 0ul : focus), 0;
  if (cmd == "hold-focus" && argc == 2) HoldFocus();
  if (cmd == "screenshot" && (argc == 4 || argc == 8)) return Screenshot(window(2), argv[3], argc == 8 ? argv + 4 : nullptr);
  if ((cmd == "alpha" || cmd == "pixels") && argc >= 5 && argc % 2 == 1)
    return Pixels(window(2), argc - 3, argv + 3, cmd == "alpha");
  if (cmd == "tap" && argc == 3) return SendKey("tap", argv[2]) ? 0 : 1;
  if (cmd == "keys" && argc == 2) return Keys();
  if (cmd == "grab" && (argc == 3 || (argc == 4 && std::strcmp(argv[3], "xi2") == 0))) return Grab(argv[2], argc == 4);
  if (cmd == "vanish" && argc == 4) return Vanish(argv[2], std::atoi(argv[3]));
  std::fprintf(stderr, "xprobe: unknown command\n");
  return 2;
}
