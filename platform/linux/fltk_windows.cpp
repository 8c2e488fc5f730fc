#include "platform/linux/fltk_windows.h"

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Input_Choice.H>
#include <FL/fl_ask.H>
#include <FL/fl_draw.H>
#include <FL/x.H>
#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/shape.h>

#include <functional>
#include <list>
#include <memory>
#include <optional>
#include <vector>

#include "resources/art.h"

namespace brisel::linux_fltk {

namespace {

constexpr Fl_Font kVerdanaFont = FL_FREE_FONT;
constexpr Fl_Font kVerdanaBoldFont = FL_FREE_FONT + 1;

int FontPixels(const Font& f) { return static_cast<int>(f.points * 96 / 72 + 0.5); }  // 8.25 pt: 11 px

// A window that draws a grey picture behind its children. `compose`, where set, makes the
// picture anew before a draw that follows a change (set stale): a handler may change the
// display's picture many times in one tick, and only the last one is ever seen.
class PictureWindow : public Fl_Double_Window {
 public:
  PictureWindow(int w, int h, const char* title) : Fl_Double_Window(w, h, title) {}
  GreyImage picture;
  std::function<GreyImage()> compose;
  bool stale = false;
  void draw() override {
    if (compose && stale) picture = compose();
    stale = false;
    // Only a full redraw paints the picture: a child that updates part of itself would
    // otherwise find the picture painted over the rest.
    if (damage() & ~FL_DAMAGE_CHILD)
      fl_draw_image_mono(picture.pixels.data(), 0, 0, std::min(picture.width, w()), std::min(picture.height, h()), 1,
                         picture.width);
    draw_children();
  }
};

// The class hint names the window by its layout, the title is the layout's.
void SetWindowNames(Fl_Window& w, const WindowLayout& layout) {
  const std::string name(layout.name), title(layout.title);
  XClassHint hint{const_cast<char*>(name.c_str()), const_cast<char*>("Brisel")};
  XSetClassHint(fl_display, fl_xid(&w), &hint);
  XStoreName(fl_display, fl_xid(&w), title.c_str());
}

}  // namespace

std::string MenuLabel(std::string_view name) {
  std::string label;
  for (char c : name) {
    if (c == '/' || c == '&' || c == '\\' || (c == '_' && label.empty())) label += '\\';
    label += c;
  }
  return label;
}

// A control the user reaches, as its widget's callback knows it.
struct ControlRef {
  FltkWindows::Window* window;
  std::string_view name;
};

struct FltkWindows::Window {
  const WindowLayout* layout = nullptr;
  FltkWindows* owner = nullptr;
  HWND hwnd = 0;
  std::unique_ptr<PictureWindow> fl;
  ExStyleWord style;
  std::optional<std::uint8_t> alpha;
  std::optional<RoundRect> region;
  int lit = 0;
  bool mute = false;
  Fl_Widget* first_focus = nullptr;
  std::list<ControlRef> controls;  // stable addresses for the widgets' callbacks
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

void SetFont(const ControlLayout& c, Fl_Widget& widget) {
  if (!c.font) return;  // the toolkit's default font
  widget.labelfont(c.font->bold ? kVerdanaBoldFont : kVerdanaFont);
  widget.labelsize(FontPixels(*c.font));
}

// The label, selectors and buttons, in tab order: FLTK moves the focus in the order of the
// children.
Fl_Widget* AddControl(FltkWindows::Window& w, const ControlLayout& c) {
  const Rect r = c.pixels();
  ControlRef* ref = &w.controls.emplace_back(ControlRef{&w, c.name});
  switch (c.kind) {
    case ControlKind::Label: {
      auto* box = new Fl_Box(r.left, r.top, r.width, r.height, c.text.data());
      box->box(FL_NO_BOX);
      box->align(FL_ALIGN_CENTER | FL_ALIGN_INSIDE | FL_ALIGN_WRAP);
      SetFont(c, *box);
      return box;
    }
    case ControlKind::Button: {
      auto* button = new Fl_Button(r.left, r.top, r.width, r.height);
      button->copy_label(std::string(c.text).c_str());
      button->box(FL_FLAT_BOX);
      button->color(fl_rgb_color(128, 128, 128));
      button->down_box(FL_FLAT_BOX);
      button->down_color(fl_rgb_color(112, 112, 112));
      SetFont(c, *button);
      button->callback(ReportClick, ref);
      return button;
    }
    case ControlKind::Selector: {
      auto* choice = new Fl_Input_Choice(r.left, r.top, r.width, r.height);
      if (c.items)
        for (const KeyRow& row : c.items()) choice->add(MenuLabel(row.name).c_str());
      choice->value(std::string(c.text).c_str());
      if (c.font) {
        choice->textfont(c.font->bold ? kVerdanaBoldFont : kVerdanaFont);
        choice->textsize(FontPixels(*c.font));
        choice->menubutton()->textfont(choice->textfont());
        choice->menubutton()->textsize(choice->textsize());
      }
      choice->menubutton()->clear_visible_focus();  // Tab goes from selector to selector
      choice->when(FL_WHEN_CHANGED);
      choice->callback(ReportEdit, ref);
      return choice->input();
    }
    default:
      return nullptr;
  }
}

}  // namespace

FltkWindows::FltkWindows() {
  Fl::set_font(kVerdanaFont, " Verdana");  // fontconfig gives the closest sans face where it is missing
  Fl::set_font(kVerdanaBoldFont, "BVerdana");
}

FltkWindows::~FltkWindows() = default;

HWND FltkWindows::create_window(const WindowLayout& layout) {
  auto [hwnd, w] = windows_.add(layout);
  w.owner = this;
  w.hwnd = hwnd;
  w.fl = std::make_unique<PictureWindow>(layout.width(), layout.height(), layout.title.data());
  PictureWindow& win = *w.fl;
  win.border(0);
  win.position((Fl::w() - layout.width()) / 2, (Fl::h() - layout.height()) / 2);
  if (!layout.takes_focus) win.set_override();  // never takes the focus, no taskbar entry, above the others
  Window* self = &w;
  win.compose = [self] { return art::WindowPicture(*self->layout, self->lit, self->mute); };
  win.stale = true;
  for (const ControlLayout* c : layout.interactive_controls()) {
    Fl_Widget* widget = AddControl(w, *c);
    if (widget && c->tab_order >= 0 && !w.first_focus) w.first_focus = widget;
  }
  win.end();
  return hwnd;
}

void FltkWindows::show(HWND hwnd) {
  Window* w = windows_.find(hwnd);
  if (!w || w->fl->shown()) return;
  w->fl->show();
  SetWindowNames(*w->fl, *w->layout);
  apply_region(*w);
  apply_opacity(*w);
  if (w->first_focus) w->first_focus->take_focus();
  XFlush(fl_display);
}

void FltkWindows::hide(HWND hwnd) {
  if (Window* w = windows_.find(hwnd); w && w->fl->shown()) {
    w->fl->hide();
    XFlush(fl_display);
  }
}

std::int32_t FltkWindows::GetWindowLongA(HWND hwnd, std::int32_t index) {
  Window* w = windows_.find(hwnd);
  return w ? w->style.get(index) : 0;
}

std::int32_t FltkWindows::SetWindowLongA(HWND hwnd, std::int32_t index, std::int32_t value) {
  Window* w = windows_.find(hwnd);
  return w ? w->style.set(index, value) : 0;
}

bool FltkWindows::SetLayeredWindowAttributes(HWND hwnd, std::uint32_t, std::uint8_t bAlpha, std::uint32_t dwFlags) {
  Window* w = windows_.find(hwnd);
  if (!w || !w->style.takes_alpha(dwFlags)) return false;
  w->alpha = bAlpha;
  apply_opacity(*w);
  return true;
}

void FltkWindows::apply_opacity(Window& w) {
  if (!w.alpha || !w.fl->shown()) return;
  const Atom opacity = XInternAtom(fl_display, "_NET_WM_WINDOW_OPACITY", False);
  const unsigned long value = static_cast<unsigned long>(*w.alpha) * 0x01010101ul;
  XChangeProperty(fl_display, fl_xid(w.fl.get()), opacity, XA_CARDINAL, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(&value), 1);
  XFlush(fl_display);
}

HRGN FltkWindows::CreateRoundRectRgn(int left, int top, int right, int bottom, int width, int height) {
  return regions_.create(left, top, right, bottom, width, height);
}

int FltkWindows::SetWindowRgn(HWND hwnd, HRGN rgn, bool) {
  Window* w = windows_.find(hwnd);
  if (!w) return 0;
  const auto r = regions_.take(rgn);
  if (!r) return 0;
  w->region = r;
  apply_region(*w);
  return 1;
}

void FltkWindows::apply_region(Window& w) {
  if (!w.region || !w.fl->shown()) return;
  const auto& r = *w.region;
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
