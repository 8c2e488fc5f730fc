#include "platform/linux/fltk_controls.h"

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Hold_Browser.H>
#include <FL/Fl_Input_Choice.H>
#include <FL/x.H>
#include <X11/Xutil.h>

#include <algorithm>
#include <deque>
#include <memory>
#include <span>

#include "platform/linux/screen_monitors.h"
#include "resources/placement.h"

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

void DialogControls::ReportClick(Fl_Widget*, void* data) {
  const auto* ref = static_cast<Ref*>(data);
  if (Input* input = ref->controls->input_()) input->click(ref->controls->hwnd_, ref->name);
}

void DialogControls::ReportEdit(Fl_Widget* widget, void* data) {
  const auto* ref = static_cast<Ref*>(data);
  if (Input* input = ref->controls->input_())
    input->text_changed(ref->controls->hwnd_, ref->name, static_cast<Fl_Input_Choice*>(widget)->value());
}

void DialogControls::add(const WindowLayout& layout, Scale scale) {
  for (const ControlLayout* c : layout.interactive_controls()) {
    Fl_Widget* widget = add(*c, scale);
    if (widget && c->tab_order >= 0 && !first_focus_) first_focus_ = widget;
  }
}

Fl_Widget* DialogControls::add(const ControlLayout& c, Scale scale) {
  const Rect r = c.pixels(scale);
  Ref* ref = &refs_.emplace_back(Ref{this, c.name});
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
      selectors_.emplace_back(c.name, choice);
      return choice->input();
    }
    default:
      return nullptr;
  }
}

bool DialogControls::type(std::string_view selector, const std::string& text) {
  for (auto& [name, widget] : selectors_)
    if (name == selector) {
      widget->enter(text.c_str());
      return true;
    }
  return false;
}

}  // namespace brisel::linux_fltk
