#include "platform/linux/fltk_windows.h"

#include <FL/Fl.H>
#include <FL/fl_ask.H>
#include <FL/x.H>
#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/shape.h>

#include <cstdlib>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/linux/fltk_controls.h"
#include "platform/linux/fltk_picture_window.h"
#include "platform/linux/screen_monitors.h"
#include "platform/linux/x11_argb.h"
#include "resources/art.h"
#include "resources/placement.h"

namespace brisel::linux_fltk {

struct FltkWindow {
  const WindowLayout* layout = nullptr;
  FltkWindows* owner = nullptr;
  HWND hwnd = 0;
  std::unique_ptr<PictureWindow> fl;
  ExStyleWord style;
  std::optional<int> opacity;
  std::optional<RoundRect> region;
  int lit = 0;
  bool mute = false;
  std::unique_ptr<DialogControls> controls;
};

namespace {

// The class hint names the window by its layout, the title is the layout's.
void SetWindowNames(Fl_Window& w, const WindowLayout& layout) {
  const std::string name(layout.name), title(layout.title);
  XClassHint hint{const_cast<char*>(name.c_str()), const_cast<char*>("Brisel")};
  XSetClassHint(fl_display, fl_xid(&w), &hint);
  XStoreName(fl_display, fl_xid(&w), title.c_str());
}

// The window manager's close reaches the window's callback, and so does Escape (FLTK's default
// hides the window for both, which would leave a process without a window). Only the close is
// reported, to the program, which decides; Escape leaves the dialog as it is.
void WindowCallback(Fl_Widget*, void* data) {
  const auto* w = static_cast<FltkWindows::Window*>(data);
  if (Fl::event() == FL_CLOSE)
    if (Input* input = w->owner->input()) input->close(w->hwnd);
}

}  // namespace

FltkWindows::FltkWindows(Scale scale) : scale_(scale) {}

FltkWindows::~FltkWindows() = default;

HWND FltkWindows::create_window(const WindowLayout& layout) {
  auto [hwnd, w] = windows_.add(layout);
  w.owner = this;
  w.hwnd = hwnd;
  w.fl = std::make_unique<PictureWindow>(layout.width(scale_), layout.height(scale_), layout.title.data());
  PictureWindow& win = *w.fl;
  win.border(0);
  if (!layout.takes_focus) win.set_override();  // never takes the focus, no taskbar entry, above the others
  Window* self = &w;
  win.callback(WindowCallback, self);
  win.compose = [self, scale = scale_] { return art::WindowPicture(*self->layout, self->lit, self->mute, scale); };
  win.stale = true;
  w.controls = std::make_unique<DialogControls>(hwnd, [this] { return input_; });
  w.controls->add(layout, scale_);
  win.end();
  return hwnd;
}

void FltkWindows::show(HWND hwnd) {
  Window* w = windows_.find(hwnd);
  if (!w || w->fl->shown()) return;
  int x = 0, y = 0;
  Fl::get_mouse(x, y);
  const Rect place = PlaceWindow(ScreenMonitors(), x, y, w->fl->w(), w->fl->h());
  w->fl->position(place.left, place.top);
  // Each show makes a new X window: its visual follows whether a compositor runs now.
  w->fl->argb.reset();
  // BRISEL_OPACITY=property keeps the property and the shape, the benchmark's reference.
  static const bool property = [] {
    const char* mode = std::getenv("BRISEL_OPACITY");
    return mode && std::string_view(mode) == "property";
  }();
  if (!property) w->fl->argb = linux_x11::CompositedArgbVisual(fl_display, fl_screen);
  // A window without an opacity yet maps fully transparent: its opacity may come next, in the
  // same tick (the display's first fade-in starts so), and a compositor must not catch one
  // opaque frame before it. The toolkit's next flush paints it at the opacity it has by then.
  w->fl->opacity = w->opacity.value_or(0);
  w->fl->show();
  SetWindowNames(*w->fl, *w->layout);
  region_changed(*w);
  opacity_changed(*w);
  // Its first frame goes with the map, so a compositor never shows it undrawn.
  if (w->fl->argb) {
    w->fl->flush();
    if (!w->opacity) {
      w->fl->opacity = 255;
      w->fl->redraw();
    }
  }
  if (Fl_Widget* first = w->controls->first_focus()) first->take_focus();
  XFlush(fl_display);
}

void FltkWindows::type(HWND hwnd, std::string_view selector, const std::string& text) {
  Window* w = windows_.find(hwnd);
  if (w && w->controls->type(selector, text)) return;
  throw std::invalid_argument("no selector " + std::string(selector) + " in window " + std::to_string(hwnd));
}

void FltkWindows::hide(HWND hwnd) {
  if (Window* w = windows_.find(hwnd); w && w->fl->shown()) {
    w->fl->hide();
    XFlush(fl_display);
  }
}

void FltkWindows::opacity_changed(Window& w) {
  if (!w.opacity || !w.fl->shown()) return;
  if (w.fl->argb) {  // in the pixels' alpha, not also in the property: the two would multiply
    w.fl->opacity = *w.opacity;
    w.fl->redraw();
    return;
  }
  const Atom opacity = XInternAtom(fl_display, "_NET_WM_WINDOW_OPACITY", False);
  const unsigned long value = static_cast<unsigned long>(*w.opacity) * 0x01010101ul;
  XChangeProperty(fl_display, fl_xid(w.fl.get()), opacity, XA_CARDINAL, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(&value), 1);
  XFlush(fl_display);
}

void FltkWindows::region_changed(Window& w) {
  if (!w.region || !w.fl->shown()) return;
  // The behaviour's region is at 96 dpi; the window's is at the scale.
  RoundRect r = *w.region;
  for (int& n : r) n = scale_.pixels(n);
  if (w.fl->argb) {
    w.fl->region = r;
    w.fl->reshape();
  }
  // The shape stays as well: it is what the pointer meets.
  const Outline outline{r[2], r[3], r[4], r[5]};
  std::vector<XRectangle> spans;
  for (int y = r[1]; y < r[3]; ++y) {
    int x = r[0];
    while (x < r[2]) {
      while (x < r[2] && !OutlineContains(outline, x, y)) ++x;
      const int start = x;
      while (x < r[2] && OutlineContains(outline, x, y)) ++x;
      if (x > start)
        spans.push_back({static_cast<short>(start), static_cast<short>(y), static_cast<unsigned short>(x - start), 1});
    }
  }
  XShapeCombineRectangles(fl_display, fl_xid(w.fl.get()), ShapeBounding, 0, 0, spans.data(),
                          static_cast<int>(spans.size()), ShapeSet, Unsorted);
  XFlush(fl_display);
}

void FltkWindows::set_picture(HWND hwnd, PictureControl control, int picture) {
  Window* w = windows_.find(hwnd);
  if (!w || control != PictureControl::Image2) return;
  w->lit = picture;
  w->fl->stale = true;
  w->fl->redraw();
}

void FltkWindows::set_visible(HWND hwnd, PictureControl control, bool visible) {
  Window* w = windows_.find(hwnd);
  if (!w || control != PictureControl::Mute || w->mute == visible) return;
  w->mute = visible;
  w->fl->stale = true;
  w->fl->redraw();
}

void FltkMessageBox::MsgBox(const std::string& text) {
  fl_close = "OK";  // the box's one button
  fl_message("%s", text.c_str());
}

}  // namespace brisel::linux_fltk
