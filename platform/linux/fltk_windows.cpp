// Fl_X::make_xid makes a window of a visual of our choice.
#define FL_INTERNALS
#include "platform/linux/fltk_windows.h"

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Hold_Browser.H>
#include <FL/Fl_Input_Choice.H>
#include <FL/fl_ask.H>
#include <FL/fl_draw.H>
#include <FL/x.H>
#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/shape.h>

#include <cstdlib>
#include <deque>
#include <functional>
#include <list>
#include <memory>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/linux/x11_argb.h"
#include "resources/art.h"

namespace brisel::linux_fltk {

namespace {

// FLTK's font for a layout's font: its face by name, regular or bold ("B"), which fontconfig
// matches with the closest face where the named one is missing. FLTK's font table belongs to
// the process and keeps the names' addresses: each face is added once and its name kept.
Fl_Font FltkFont(const Font& f) {
  static std::deque<std::string> faces;
  std::string face(1, f.bold ? 'B' : ' ');
  face.append(f.name);
  int index = 0;
  while (index < static_cast<int>(faces.size()) && faces[static_cast<std::size_t>(index)] != face) ++index;
  if (index == static_cast<int>(faces.size())) {
    faces.push_back(face);
    Fl::set_font(FL_FREE_FONT + index, faces.back().c_str());
  }
  return FL_FREE_FONT + index;
}


// A window that draws a grey picture behind its children. `compose`, where set, makes the
// picture anew before a draw that follows a change (set stale): a handler may change the
// display's picture many times in one tick, and only the last one is ever seen.
//
// A window shown with `argb` set is made with that 32-bit visual and carries `opacity` and
// `region` in its pixels' alpha: a window without children paints its picture so; the toolkit
// draws one with children (the dialog) into a pixmap of the screen's own depth, which the
// server then copies into the window through the outline and the opacity, at every flush in
// which the toolkit drew: the whole window, or only the children that changed (a field's text,
// its cursor, the focus, a pressed button), over what the pixmap already holds.
class PictureWindow : public Fl_Double_Window {
 public:
  PictureWindow(int w, int h, const char* title) : Fl_Double_Window(w, h, title) {}
  GreyImage picture;
  std::function<GreyImage()> compose;
  bool stale = false;
  std::optional<linux_x11::ArgbVisual> argb;
  int opacity = 255;
  std::optional<RoundRect> region;
  void show() override {
    if (!shown() && argb) Fl_X::make_xid(this, &argb->info, argb->colormap);
    Fl_Double_Window::show();
  }
  // The region changed: the picture goes to the server again.
  void reshape() {
    painted_stale_ = true;
    redraw();
  }
  void flush() override {
    if (!argb) return Fl_Double_Window::flush();
    if (!painter_) painter_ = std::make_unique<linux_x11::ArgbPainter>(fl_display, *argb);
    if (children() > 0) {
      // An expose alone only asks for the picture again; the painter keeps it.
      if (damage() & ~(FL_DAMAGE_CHILD | FL_DAMAGE_EXPOSE) || painted_stale_ || !offscreen_)
        draw_offscreen(FL_DAMAGE_ALL);
      else if (damage() & FL_DAMAGE_CHILD)
        draw_offscreen(FL_DAMAGE_CHILD);
    } else {
      compose_if_stale();
      if (painted_stale_) painter_->set_picture(picture, region);
    }
    painted_stale_ = false;
    painter_->paint(fl_xid(this), opacity);
  }
  // The toolkit's drawing, of the whole window (FL_DAMAGE_ALL) or of the children that changed
  // (FL_DAMAGE_CHILD) into the pixmap that keeps the rest, taken by the painter. The toolkit's one
  // GC is made for the screen's own depth, which the pixmap has and the 32-bit window has not.
  void draw_offscreen(uchar what) {
    if (!offscreen_) {
      offscreen_ = XCreatePixmap(fl_display, RootWindow(fl_display, fl_screen), static_cast<unsigned>(w()),
                                 static_cast<unsigned>(h()), static_cast<unsigned>(fl_visual->depth));
      if (!fl_gc) fl_gc = XCreateGC(fl_display, offscreen_, 0, nullptr);
    }
    clear_damage(what);
    fl_begin_offscreen(offscreen_);
    draw();
    fl_end_offscreen();
    painter_->set_content(offscreen_, fl_visual->visual, w(), h(), region);
  }
  void compose_if_stale() {
    if (compose && stale) {
      picture = compose();
      painted_stale_ = true;
    }
    stale = false;
  }
  void draw() override {
    compose_if_stale();
    // Only a full redraw paints the picture: a child that updates part of itself would
    // otherwise find the picture painted over the rest.
    if (damage() & ~FL_DAMAGE_CHILD)
      fl_draw_image_mono(picture.pixels.data(), 0, 0, std::min(picture.width, w()), std::min(picture.height, h()), 1,
                         picture.width);
    draw_children();
  }

 private:
  std::unique_ptr<linux_x11::ArgbPainter> painter_;
  bool painted_stale_ = true;
  Pixmap offscreen_ = 0;
};

// The class hint names the window by its layout, the title is the layout's.
void SetWindowNames(Fl_Window& w, const WindowLayout& layout) {
  const std::string name(layout.name), title(layout.title);
  XClassHint hint{const_cast<char*>(name.c_str()), const_cast<char*>("Brisel")};
  XSetClassHint(fl_display, fl_xid(&w), &hint);
  XStoreName(fl_display, fl_xid(&w), title.c_str());
}

}  // namespace

ScreenRect PlaceDropList(const ScreenRect& field, const ScreenRect& work_area, int content_height, int row_height,
                         int min_rows) {
  const int below = work_area.y + work_area.h - (field.y + field.h);
  const int above = field.y - work_area.y;
  ScreenRect list{field.x, field.y + field.h, field.w, std::min(content_height, std::max(below, 0))};
  if (below < std::min(content_height, min_rows * row_height) && above > below) {
    list.h = std::min(content_height, above);
    list.y = field.y - list.h;
  }
  // Kept within the work area's width too, for a field near its side.
  list.x = std::max(work_area.x, std::min(list.x, work_area.x + work_area.w - list.w));
  return list;
}

// A control the user reaches, as its widget's callback knows it.
struct ControlRef {
  FltkWindows::Window* window;
  std::string_view name;
};

namespace {
class KeySelector;
}

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
  Fl_Widget* first_focus = nullptr;
  std::list<ControlRef> controls;  // stable addresses for the widgets' callbacks
  std::vector<std::pair<std::string_view, KeySelector*>> selectors;
};

namespace {

void ReportClick(Fl_Widget*, void* data) {
  const auto* ref = static_cast<ControlRef*>(data);
  if (Input* input = ref->window->owner->input()) input->click(ref->window->hwnd, ref->name);
}

void ReportEdit(Fl_Widget* widget, void* data) {
  const auto* ref = static_cast<ControlRef*>(data);
  if (Input* input = ref->window->owner->input())
    input->text_changed(ref->window->hwnd, ref->name, static_cast<Fl_Input_Choice*>(widget)->value());
}

// The window manager's close reaches the window's callback, and so does Escape (FLTK's default
// hides the window for both, which would leave a process without a window). Only the close is
// reported, to the program, which decides; Escape leaves the dialog as it is.
void WindowCallback(Fl_Widget*, void* data) {
  const auto* w = static_cast<FltkWindows::Window*>(data);
  if (Fl::event() == FL_CLOSE)
    if (Input* input = w->owner->input()) input->close(w->hwnd);
}

void SetFont(const ControlLayout& c, Fl_Widget& widget, Scale scale) {
  if (!c.font) return;  // the toolkit's default font
  widget.labelfont(FltkFont(*c.font));
  widget.labelsize(scale.font_pixels(c.font->points));
}

// "Run": a push button with a raised edge. A focused Fl_Button answers Space only; Enter clicks
// it as well while it has the focus. (Fl_Return_Button would take Enter from the whole window,
// the selectors' typing included.)
class PushButton : public Fl_Button {
 public:
  using Fl_Button::Fl_Button;
  int handle(int event) override {
    const int key = Fl::event_key();
    if (event == FL_KEYBOARD && Fl::focus() == this && (key == FL_Enter || key == FL_KP_Enter) &&
        !(Fl::event_state() & (FL_SHIFT | FL_CTRL | FL_ALT | FL_META))) {
      simulate_key_action();
      do_callback();
      return 1;
    }
    return Fl_Button::handle(event);
  }
};

// The list of key names as a browser, which can say how tall all its rows are.
class KeyList : public Fl_Hold_Browser {
 public:
  using Fl_Hold_Browser::Fl_Hold_Browser;
  int content_height() const { return full_height() + Fl::box_dh(box()); }
};

// A selector's drop-down list: its own borderless window below the field, holding the pointer
// and the keyboard while it is open. A click on a name or Enter picks it; Escape or a click
// outside closes the list and leaves the field as it was.
class DropList : public Fl_Double_Window {
 public:
  DropList(KeySelector& owner, std::span<const KeyRow> items);
  void open();
  void close() {
    Fl::grab(nullptr);
    hide();
  }
  int handle(int event) override;

 private:
  void pick();
  static void Picked(Fl_Widget*, void* data);
  KeySelector& owner_;
  KeyList list_;
};

// An editable drop-down: FLTK's input with its arrow, whose arrow opens a DropList instead of
// FLTK's menu (which opens at the arrow and runs off the bottom of the screen).
class KeySelector : public Fl_Input_Choice {
 public:
  KeySelector(int x, int y, int w, int h, std::span<const KeyRow> items) : Fl_Input_Choice(x, y, w, h), items_(items) {}
  int handle(int event) override {
    if (event == FL_PUSH && Fl::event_inside(menubutton())) {
      if (!list_) {
        Fl_Group* const current = Fl_Group::current();
        Fl_Group::current(nullptr);  // a window of its own, not a child of the dialog
        list_ = std::make_unique<DropList>(*this, items_);
        Fl_Group::current(current);
      }
      list_->open();
      return 1;
    }
    // Enter in the field is no command: the text and the focus stay where they are.
    if (event == FL_KEYBOARD && (Fl::event_key() == FL_Enter || Fl::event_key() == FL_KP_Enter)) return 1;
    return Fl_Input_Choice::handle(event);
  }
  // A name typed or picked: the field shows it and its callback reports it.
  void enter(const char* text) {
    value(text);
    set_changed();
    do_callback();
  }

 private:
  std::span<const KeyRow> items_;
  std::unique_ptr<DropList> list_;
};

DropList::DropList(KeySelector& owner, std::span<const KeyRow> items)
    : Fl_Double_Window(owner.w(), 100), owner_(owner), list_(0, 0, owner.w(), 100) {
  end();
  border(0);
  set_override();
  resizable(list_);
  list_.format_char(0);  // names as they are: none is a formatting code
  list_.textfont(owner.textfont());
  list_.textsize(owner.textsize());
  for (const KeyRow& row : items) list_.add(std::string(row.name).c_str());
  list_.when(FL_WHEN_RELEASE_ALWAYS);
  list_.callback(Picked, this);
}

void DropList::open() {
  int fx = 0, fy = 0;
  const Fl_Window* top = owner_.top_window_offset(fx, fy);
  const ScreenRect field{top->x() + fx, top->y() + fy, owner_.w(), owner_.h()};
  // The work area of the field's monitor, less the desktop's panels.
  const std::vector<Monitor> monitors = ScreenMonitors();
  const Rect work = monitors.empty() ? Rect{0, 0, Fl::w(), Fl::h()} : monitors[MonitorAt(monitors, field.x, field.y)].work;
  const ScreenRect area{work.left, work.top, work.width, work.height};
  const int rows = std::max(list_.size(), 1);
  const ScreenRect place = PlaceDropList(field, area, list_.content_height(), list_.content_height() / rows);
  resize(place.x, place.y, place.w, place.h);
  list_.deselect();
  for (int line = 1; line <= list_.size(); ++line)
    if (std::string_view(list_.text(line)) == owner_.value()) {
      list_.select(line);
      list_.middleline(line);
    }
  show();
  XClassHint hint{const_cast<char*>("KeyList"), const_cast<char*>("Brisel")};
  XSetClassHint(fl_display, fl_xid(this), &hint);
  Fl::grab(this);
  list_.take_focus();
}

int DropList::handle(int event) {
  switch (event) {
    case FL_PUSH:
      if (Fl::event_x() < 0 || Fl::event_y() < 0 || Fl::event_x() >= w() || Fl::event_y() >= h()) {
        close();
        return 1;
      }
      break;
    case FL_KEYBOARD:
      // While the list holds the keyboard, keys come to its window first.
      if (Fl::event_key() == FL_Escape) {
        close();
        return 1;
      }
      if (Fl::event_key() == FL_Enter || Fl::event_key() == FL_KP_Enter) {
        pick();
        return 1;
      }
      return list_.handle(event);  // Up and Down move through the names
    default:
      break;
  }
  return Fl_Double_Window::handle(event);
}

// The list's callback also runs as Up and Down move the selection: only a click picks.
void DropList::Picked(Fl_Widget*, void* data) {
  if (Fl::event() == FL_RELEASE) static_cast<DropList*>(data)->pick();
}

void DropList::pick() {
  const int line = list_.value();
  if (line <= 0) return;
  const std::string name = list_.text(line);
  close();
  owner_.input()->take_focus();
  owner_.enter(name.c_str());
}

// The label, selectors and buttons, in tab order: FLTK moves the focus in the order of the
// children.
Fl_Widget* AddControl(FltkWindows::Window& w, const ControlLayout& c, Scale scale) {
  const Rect r = c.pixels(scale);
  ControlRef* ref = &w.controls.emplace_back(ControlRef{&w, c.name});
  switch (c.kind) {
    case ControlKind::Label: {
      auto* box = new Fl_Box(r.left, r.top, r.width, r.height, c.text.data());
      box->box(FL_NO_BOX);
      box->align(FL_ALIGN_CENTER | FL_ALIGN_INSIDE | FL_ALIGN_WRAP);
      SetFont(c, *box, scale);
      return box;
    }
    case ControlKind::Button: {
      auto* button = new PushButton(r.left, r.top, r.width, r.height);
      button->copy_label(std::string(c.text).c_str());
      button->box(FL_UP_BOX);
      button->down_box(FL_DOWN_BOX);
      button->color(fl_rgb_color(128, 128, 128));
      button->down_color(fl_rgb_color(128, 128, 128));
      SetFont(c, *button, scale);
      button->callback(ReportClick, ref);
      return button;
    }
    case ControlKind::Selector: {
      auto* choice = new KeySelector(r.left, r.top, r.width, r.height, c.items ? c.items() : std::span<const KeyRow>{});
      choice->value(std::string(c.text).c_str());
      if (c.font) {
        choice->textfont(FltkFont(*c.font));
        choice->textsize(scale.font_pixels(c.font->points));
      } else {
        choice->textsize(scale.pixels(FL_NORMAL_SIZE));  // the toolkit's size, at the scale
      }
      choice->menubutton()->clear_visible_focus();  // Tab goes from selector to selector
      choice->when(FL_WHEN_CHANGED);
      choice->callback(ReportEdit, ref);
      w.selectors.emplace_back(c.name, choice);
      return choice->input();
    }
    default:
      return nullptr;
  }
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
  for (const ControlLayout* c : layout.interactive_controls()) {
    Fl_Widget* widget = AddControl(w, *c, scale_);
    if (widget && c->tab_order >= 0 && !w.first_focus) w.first_focus = widget;
  }
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
  if (w->first_focus) w->first_focus->take_focus();
  XFlush(fl_display);
}

void FltkWindows::type(HWND hwnd, std::string_view selector, const std::string& text) {
  Window* w = windows_.find(hwnd);
  if (w)
    for (auto& [name, widget] : w->selectors)
      if (name == selector) return widget->enter(text.c_str());
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

void FltkMessageBox::MsgBox(const std::string& text) {
  fl_close = "OK";  // the box's one button
  fl_message("%s", text.c_str());
}

}  // namespace brisel::linux_fltk
