// The dialog's controls with FLTK, made from a window's layout at the screen's scale: the label,
// the push button and the key selectors, in the layout's tab order, each in the layout's font
// (FLTK's font table, each face added once). A selector is an editable field whose arrow drops
// the key names in a list of its own below the field, scrolling where the screen has no room
// for all of it. What the user does with a control is reported through the program's Input.
#pragma once

#include <FL/Fl_Widget.H>

#include <functional>
#include <list>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/platform.h"
#include "resources/layout.h"
#include "resources/scale.h"

namespace brisel::linux_fltk {

// Where a selector's list drops, in screen pixels: below the field and as wide as it, as tall
// as its content or as the room down to the bottom of the work area allows (it scrolls then).
// Only where fewer than `min_rows` rows fit below and there is more room above does it open
// above the field instead.
struct ScreenRect {
  int x, y, w, h;
};
ScreenRect PlaceDropList(const ScreenRect& field, const ScreenRect& work_area, int content_height, int row_height,
                         int min_rows = 4);

class KeySelector;

// One window's controls as the user reaches them. Each widget's callback reports to the
// program's input as it is when the user acts (it is set after the windows are made), for the
// window `hwnd`.
class DialogControls {
 public:
  DialogControls(HWND hwnd, std::function<Input*()> input) : hwnd_(hwnd), input_(std::move(input)) {}
  DialogControls(const DialogControls&) = delete;
  DialogControls& operator=(const DialogControls&) = delete;

  // The layout's label, selectors and buttons, made in the toolkit's current group (the window
  // being built) in tab order: FLTK moves the focus in the order of the children.
  void add(const WindowLayout& layout, Scale scale);
  // The control that takes the focus as the window shows: the first in tab order, if any.
  Fl_Widget* first_focus() const { return first_focus_; }
  // The selector's field shows the text, and the program's input hears of it as from the
  // keyboard; false where the window has no such selector.
  bool type(std::string_view selector, const std::string& text);

 private:
  struct Ref {  // a control, as its widget's callback knows it
    DialogControls* controls;
    std::string_view name;
  };
  Fl_Widget* add(const ControlLayout& c, Scale scale);
  static void ReportClick(Fl_Widget*, void* data);
  static void ReportEdit(Fl_Widget* widget, void* data);

  HWND hwnd_;
  std::function<Input*()> input_;
  Fl_Widget* first_focus_ = nullptr;
  std::list<Ref> refs_;  // stable addresses for the widgets' callbacks
  std::vector<std::pair<std::string_view, KeySelector*>> selectors_;
};

}  // namespace brisel::linux_fltk
