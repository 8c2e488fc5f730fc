// xprobe: looks at an X display for the Linux tests and the benchmark.
//   xprobe find NAME                 the viewable window whose class hint's res_name is NAME
//   xprobe opacity WINDOW            its _NET_WM_WINDOW_OPACITY, or "none"
//   xprobe shape WINDOW R B EW EH    exit 0 when its bounding shape is that round-rect region
//   xprobe focus                     the window with the input focus (0: none or pointer root)
//   xprobe hold-focus                maps a window, gives it the focus, prints its id, stays
//   xprobe screenshot WINDOW FILE [X Y W H]   the window's pixels (WINDOW "root": the screen as
//                                    the compositor shows it) as a grey .bmp (the green channel;
//                                    a 32-bit window's pixels as drawn, before their alpha)
//   xprobe alpha WINDOW X Y [X Y]... a 32-bit window's alpha there, one a line; "none" for a
//                                    window without alpha
//   xprobe same-inside A.bmp B.bmp R B EW EH   exit 0 when the pictures agree inside the region
//                                    (within 1: undoing the alpha rounds)
//   xprobe drawn-at-two A.bmp B.bmp R B EW EH  exit 0 when A, a picture at twice B's size,
//                                    reduced 2 x 2 to 1 is close to B inside the region (at B's
//                                    size), and drawn at its size, not B's pixels doubled
//   xprobe owner SELECTION           the window that owns the selection; exit 1 when none does
//   xprobe pixels WINDOW X Y [X Y]...  the window's own pixels there, as "R,G,B" one a line
//                                    (a 32-bit window's as drawn, before their alpha)
//   xprobe from-ppm IN.ppm OUT.bmp   a binary PPM (a Wayland screenshot) as a grey .bmp, as above
//   xprobe framebuffer FILE X Y W H OUT.bmp   that rectangle of what the screen shows, from the
//                                    framebuffer Xvfb keeps in FILE (-fbdir DIR: DIR/Xvfb_screen0,
//                                    an xwd dump), as a grey .bmp, as above
//   xprobe over-backdrop SHOT.bmp REF.bmp ALPHA R B EW EH   exit 0 when SHOT shows REF at ALPHA
//                                    (0 to 255) over a flat backdrop (SHOT's colour at 0,0) inside
//                                    the region: with the blend undone, a mean difference of at
//                                    most 2 levels and no pixel off by more than 40 (prints both)
//   xprobe tap KEYSYM                a press and its release in one request batch
//   xprobe keys                      stays, and reads lines "tap KEYSYM", "down KEYSYM" and
//                                    "up KEYSYM" from standard input, each sent as it comes
//   xprobe grab KEYSYM [xi2]         grabs the key on the root window, as a desktop binds it
//                                    (with any modifiers; with xi2 the bare key through XInput2),
//                                    prints "grabbed" and stays
//   xprobe vanish SELECTION N        N clients, one after another, each asks the owner of
//                                    SELECTION for it and destroys its window at once
// same-inside, drawn-at-two, from-ppm, framebuffer and over-backdrop need no display.
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
#include <vector>

#include "resources/image.h"
#include "resources/layout.h"
#include "tests/linux/x_probe_util.h"
#include "tests/picture_compare.h"

namespace {

using xprobe_util::IgnoreErrors;
using xprobe_util::ResName;

Display* dpy = nullptr;

void Collect(Window w, std::vector<Window>& out) {
  Window root, parent, *children = nullptr;
  unsigned n = 0;
  if (!XQueryTree(dpy, w, &root, &parent, &children, &n)) return;
  for (unsigned i = 0; i < n; ++i) {
    out.push_back(children[i]);
    Collect(children[i], out);
  }
  if (children) XFree(children);
}

Window Find(const std::string& name) {
  std::vector<Window> all;
  Collect(DefaultRootWindow(dpy), all);
  for (Window w : all) {
    XWindowAttributes a{};
    if (XGetWindowAttributes(dpy, w, &a) && a.map_state == IsViewable && ResName(dpy, w) == name) return w;
  }
  return 0;
}

long Opacity(Window w) {
  Atom type;
  int format;
  unsigned long n, after;
  unsigned char* data = nullptr;
  const Atom atom = XInternAtom(dpy, "_NET_WM_WINDOW_OPACITY", False);
  if (XGetWindowProperty(dpy, w, atom, 0, 1, False, XA_CARDINAL, &type, &format, &n, &after, &data) != Success ||
      !data || n == 0) {
    if (data) XFree(data);
    return -1;
  }
  const long v = static_cast<long>(*reinterpret_cast<unsigned long*>(data) & 0xFFFFFFFFul);
  XFree(data);
  return v;
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
      unsigned long g = (p >> 8) & 0xFF;
      if (alpha) {  // premultiplied: the colour as drawn is g / alpha
        const unsigned long al = (p >> 24) & 0xFF;
        g = al ? std::min(255ul, (g * 255 + al / 2) / al) : 0;
      }
      out.at(x, y) = static_cast<std::uint8_t>(g);
    }
  XDestroyImage(img);
  std::ofstream(file, std::ios::binary) << brisel::EncodeBmp(out);
  return 0;
}

brisel::GreyImage Load(const char* file) {
  std::ifstream in(file, std::ios::binary);
  return brisel::DecodeBmp(std::string(std::istreambuf_iterator<char>(in), {}));
}

int SameInside(const char* a_file, const char* b_file, const brisel::Outline& o) {
  const brisel::GreyImage a = Load(a_file), b = Load(b_file);
  int differ = 0, compared = 0;
  for (int y = 0; y < std::min(a.height, b.height); ++y)
    for (int x = 0; x < std::min(a.width, b.width); ++x)
      if (brisel::OutlineContains(o, x, y)) {
        ++compared;
        differ += std::abs(a.at(x, y) - b.at(x, y)) > 1;
      }
  std::printf("%d of %d pixels differ\n", differ, compared);
  return compared > 0 && differ == 0 ? 0 : 1;
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

int FromPpm(const char* in_file, const char* out_file) {
  std::ifstream in(in_file, std::ios::binary);
  std::string magic;
  int width = 0, height = 0, max = 0;
  in >> magic >> width >> height >> max;
  in.get();  // the one blank after the header
  if (!in || magic != "P6" || width <= 0 || height <= 0 || max != 255) {
    std::fprintf(stderr, "xprobe: %s is no 8-bit binary PPM\n", in_file);
    return 1;
  }
  brisel::GreyImage out(width, height);
  std::string rgb(3, '\0');
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      if (!in.read(rgb.data(), 3)) return 1;
      out.at(x, y) = static_cast<std::uint8_t>(rgb[1]);
    }
  std::ofstream(out_file, std::ios::binary) << brisel::EncodeBmp(out);
  return 0;
}

// The xwd dump's header is 25 numbers of 32 bits, most significant byte first; the colour map's
// entries (12 bytes each) and then the pixels follow the header and the window's name.
int Framebuffer(const char* file, char** crop, const char* out_file) {
  std::ifstream in(file, std::ios::binary);
  const std::string data(std::istreambuf_iterator<char>(in), {});
  const auto number = [&](std::size_t i) {
    std::uint32_t n = 0;
    for (std::size_t b = 0; b < 4; ++b) n = n << 8 | static_cast<unsigned char>(data[4 * i + b]);
    return n;
  };
  if (data.size() < 100 || number(1) != 7 || number(11) != 32) {
    std::fprintf(stderr, "xprobe: %s is no xwd dump of 32-bit pixels\n", file);
    return 1;
  }
  const std::size_t width = number(4), height = number(5), msb_first = number(7), stride = number(12);
  const std::uint32_t green = number(15);
  const std::size_t pixels = number(0) + 12 * std::size_t{number(19)};
  const int x0 = std::atoi(crop[0]), y0 = std::atoi(crop[1]), w = std::atoi(crop[2]), h = std::atoi(crop[3]);
  if (x0 < 0 || y0 < 0 || w <= 0 || h <= 0 || std::size_t(x0 + w) > width || std::size_t(y0 + h) > height ||
      data.size() < pixels + stride * height) {
    std::fprintf(stderr, "xprobe: %dx%d+%d+%d is not on the %zux%zu screen of %s\n", w, h, x0, y0, width, height, file);
    return 1;
  }
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

// A window at ALPHA over one flat colour shows backdrop + (drawn - backdrop) x ALPHA / 255: the
// colour as drawn is found again to within a level or two (the blend rounds, and undoing it
// scales that by 255 / ALPHA).
int OverBackdrop(const char* shot_file, const char* ref_file, int alpha, const brisel::Outline& o) {
  const brisel::GreyImage shot = Load(shot_file), ref = Load(ref_file);
  if (alpha <= 0 || shot.width == 0 || shot.width != ref.width || shot.height != ref.height) {
    std::fprintf(stderr, "xprobe: pictures of different sizes, or no alpha\n");
    return 2;
  }
  const double backdrop = shot.at(0, 0);
  double sum = 0;
  int compared = 0, far = 0;
  for (int y = 0; y < shot.height; ++y)
    for (int x = 0; x < shot.width; ++x)
      if (brisel::OutlineContains(o, x, y)) {
        const double drawn = backdrop + (shot.at(x, y) - backdrop) * 255 / alpha;
        const double d = std::abs(drawn - ref.at(x, y));
        sum += d, ++compared, far += d > 40;
      }
  const double mean = compared ? sum / compared : 0;
  std::printf("mean difference %.2f, %d pixels off by more than 40\n", mean, far);
  return compared > 0 && mean <= 2 && far == 0 ? 0 : 1;
}

int HoldFocus() {
  const Window w = XCreateSimpleWindow(dpy, DefaultRootWindow(dpy), 0, 0, 100, 100, 0, 0, 0);
  XStoreName(dpy, w, "focus-holder");
  XSelectInput(dpy, w, StructureNotifyMask);
  XMapWindow(dpy, w);
  for (XEvent ev;;) {
    XNextEvent(dpy, &ev);
    if (ev.type == MapNotify) break;
  }
  XSetInputFocus(dpy, w, RevertToParent, CurrentTime);
  XSync(dpy, False);
  std::printf("%lu\n", w);
  std::fflush(stdout);
  for (XEvent ev;;) XNextEvent(dpy, &ev);
}

// Sends a press, a release or both (a tap) of KEYSYM; complains when no key carries it.
bool SendKey(const std::string& what, const std::string& keysym) {
  if (xprobe_util::SendKey(dpy, keysym.c_str(), what != "up", what != "down")) return true;
  std::fprintf(stderr, "xprobe: no key for %s\n", keysym.c_str());
  return false;
}

int Keys() {
  for (std::string what, keysym; std::cin >> what >> keysym;) {
    if (what != "tap" && what != "down" && what != "up") {
      std::fprintf(stderr, "xprobe: unknown key command %s\n", what.c_str());
      return 2;
    }
    if (!SendKey(what, keysym)) return 1;
  }
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
  XSync(dpy, False);
  std::printf("grabbed\n");
  std::fflush(stdout);
  for (XEvent ev;;) XNextEvent(dpy, &ev);
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

}  // namespace

int main(int argc, char** argv) {
  const std::string command = argc > 1 ? argv[1] : "";
  if (command == "same-inside" && argc == 8) return SameInside(argv[2], argv[3], OutlineArgs(argv + 4));
  if (command == "drawn-at-two" && argc == 8) return DrawnAtTwo(argv[2], argv[3], OutlineArgs(argv + 4));
  if (command == "from-ppm" && argc == 4) return FromPpm(argv[2], argv[3]);
  if (command == "framebuffer" && argc == 8) return Framebuffer(argv[2], argv + 3, argv[7]);
  if (command == "over-backdrop" && argc == 9)
    return OverBackdrop(argv[2], argv[3], std::atoi(argv[4]), OutlineArgs(argv + 5));
  dpy = XOpenDisplay(nullptr);
  if (!dpy || argc < 2) {
    std::fprintf(stderr, "xprobe: no display or no command\n");
    return 2;
  }
  XSetErrorHandler(IgnoreErrors);
  const std::string cmd = argv[1];
  if (cmd == "find" && argc == 3) {
    const Window w = Find(argv[2]);
    if (!w) return 1;
    std::printf("%lu\n", w);
    return 0;
  }
  if (cmd == "opacity" && argc == 3) {
    const long v = Opacity(std::strtoul(argv[2], nullptr, 0));
    v < 0 ? std::printf("none\n") : std::printf("%ld\n", v);
    return 0;
  }
  if (cmd == "shape" && argc == 7) return Shape(std::strtoul(argv[2], nullptr, 0), OutlineArgs(argv + 3));
  if (cmd == "focus" && argc == 2) {
    Window w = 0;
    int revert = 0;
    XGetInputFocus(dpy, &w, &revert);
    std::printf("%lu\n", w == PointerRoot ? 0ul : w);
    return 0;
  }
  if (cmd == "hold-focus" && argc == 2) return HoldFocus();
  if (cmd == "screenshot" && (argc == 4 || argc == 8)) {
    const Window w = std::strcmp(argv[2], "root") == 0 ? DefaultRootWindow(dpy) : std::strtoul(argv[2], nullptr, 0);
    return Screenshot(w, argv[3], argc == 8 ? argv + 4 : nullptr);
  }
  if (cmd == "tap" && argc == 3) return SendKey("tap", argv[2]) ? 0 : 1;
  if (cmd == "keys" && argc == 2) return Keys();
  if (cmd == "grab" && (argc == 3 || (argc == 4 && std::strcmp(argv[3], "xi2") == 0))) return Grab(argv[2], argc == 4);
  if (cmd == "vanish" && argc == 4) return Vanish(argv[2], std::atoi(argv[3]));
  if (cmd == "owner" && argc == 3) {
    const Window w = XGetSelectionOwner(dpy, XInternAtom(dpy, argv[2], False));
    if (w == None) return 1;
    std::printf("%lu\n", w);
    return 0;
  }
  if (cmd == "alpha" && argc >= 5 && argc % 2 == 1) {
    const Window w = std::strtoul(argv[2], nullptr, 0);
    XWindowAttributes a{};
    if (!XGetWindowAttributes(dpy, w, &a)) return 1;
    for (int i = 3; i + 1 < argc; i += 2) {
      if (a.depth != 32) {
        std::printf("none\n");
        continue;
      }
      XImage* img = XGetImage(dpy, w, std::atoi(argv[i]), std::atoi(argv[i + 1]), 1, 1, AllPlanes, ZPixmap);
      if (!img) return 1;
      std::printf("%lu\n", (XGetPixel(img, 0, 0) >> 24) & 0xFF);
      XDestroyImage(img);
    }
    return 0;
  }
  if (cmd == "pixels" && argc >= 5 && argc % 2 == 1) {
    const Window w = std::strtoul(argv[2], nullptr, 0);
    XWindowAttributes attributes{};
    const int depth = XGetWindowAttributes(dpy, w, &attributes) ? attributes.depth : 0;
    for (int i = 3; i + 1 < argc; i += 2) {
      XImage* img = XGetImage(dpy, w, std::atoi(argv[i]), std::atoi(argv[i + 1]), 1, 1, AllPlanes, ZPixmap);
      if (!img) return 1;
      const unsigned long p = XGetPixel(img, 0, 0);
      // A 32-bit window's pixels are premultiplied: the colours as drawn are divided by alpha.
      const unsigned long al = depth == 32 ? (p >> 24) & 0xFF : 255;
      const auto drawn = [al](unsigned long c) { return al ? std::min(255ul, (c * 255 + al / 2) / al) : 0; };
      std::printf("%lu,%lu,%lu\n", drawn((p >> 16) & 0xFF), drawn((p >> 8) & 0xFF), drawn(p & 0xFF));
      XDestroyImage(img);
    }
    return 0;
  }
  std::fprintf(stderr, "xprobe: unknown command\n");
  return 2;
}
