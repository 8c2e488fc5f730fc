// The windows on X11 with FLTK, built from their layouts at the screen's scale: the picture
// behind, drawn at that scale, and the label, selectors and buttons the layout places inside,
// in its tab order. Each show() from hidden centres the window on the work area of the
// monitor under the pointer (resources/placement.h). What the user does is
// reported through the program's Input. Opacity is the window's _NET_WM_WINDOW_OPACITY (a
// compositing manager makes it visible) and the outline an XShape bounding region. Hiding
// destroys FLTK's X window, so every show() applies the name, class hint, outline and opacity
// again.
//
// The dialog behaves as a dialog: the window manager's close is reported (Input::close), Escape does
// nothing, Enter on the focused "Run" clicks it, and a selector's list drops below its field,
// scrolling where the screen has no room for all of it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"
#include "platform/window_state.h"
#include "resources/placement.h"
#include "resources/scale.h"

namespace brisel::linux_fltk {

struct FltkWindow;

class FltkWindows : public WindowRecords<FltkWindow> {
 public:
  explicit FltkWindows(Scale scale = {});
  ~FltkWindows() override;

  void set_input(Input& input) override { input_ = &input; }
  HWND create_window(const WindowLayout& layout) override;
  void show(HWND hwnd) override;
  void hide(HWND hwnd) override;
  void set_picture(HWND hwnd, PictureControl control, int picture) override;
  void set_visible(HWND hwnd, PictureControl control, bool visible) override;

  // The field shows the text, and the program's input hears of it as from the keyboard.
  void type(HWND hwnd, std::string_view selector, const std::string& text) override;

  using Window = FltkWindow;
  Input* input() const { return input_; }

 private:
  void opacity_changed(Window& w) override;
  void region_changed(Window& w) override;
  Input* input_ = nullptr;
  Scale scale_;
};

// The screen's monitors as Xinerama reports them through FLTK, each with its work area: the
// monitor less what the desktop publishes as reserved (GNOME's per-monitor
// _GTK_WORKAREAS_D<desktop>, or else the EWMH _NET_WORKAREA of the current desktop).
std::vector<Monitor> ScreenMonitors();

// Where a selector's list drops, in screen pixels: below the field and as wide as it, as tall
// as its content or as the room down to the bottom of the work area allows (it scrolls then).
// Only where fewer than `min_rows` rows fit below and there is more room above does it open
// above the field instead.
struct ScreenRect {
  int x, y, w, h;
};
ScreenRect PlaceDropList(const ScreenRect& field, const ScreenRect& work_area, int content_height, int row_height,
                         int min_rows = 4);

class FltkMessageBox : public MessageBox {
 public:
  void MsgBox(const std::string& text) override;
};

}  // namespace brisel::linux_fltk
