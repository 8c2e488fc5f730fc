// The windows on X11 with FLTK, built from their layouts at the screen's scale: the picture
// behind (platform/linux/fltk_picture_window.h), drawn at that scale, and the label, selectors
// and buttons the layout places inside, in its tab order (platform/linux/fltk_controls.h). Each
// show() from hidden centres the window on the work area of the monitor under the pointer
// (platform/linux/screen_monitors.h, resources/placement.h). What the user does is reported
// through the program's Input.
//
// How opacity and outline are shown is chosen at each show(), since hiding destroys FLTK's X
// window and the next show() makes a new one (and applies the name, class hint, outline and
// opacity again):
// - While a compositing manager runs and the server offers a 32-bit visual
//   (platform/linux/x11_argb.h), the window is made with that visual and carries its opacity
//   and outline in its pixels' alpha; the _NET_WM_WINDOW_OPACITY property is left unset (the
//   compositor would multiply the two). A window shown before it has an opacity maps fully
//   transparent, and its first frame goes with the map.
// - Without a compositor, or with BRISEL_OPACITY=property in the environment (the benchmark's
//   reference), the window has the screen's own visual and its opacity is the
//   _NET_WM_WINDOW_OPACITY property, which only a compositor shows: without one the window is
//   opaque.
// Either way the outline is also the window's XShape bounding region: it is what the pointer
// meets, and without a compositor what the screen shows.
//
// The dialog behaves as a dialog: the window manager's close is reported (Input::close), Escape
// does nothing, Enter on the focused "Run" clicks it.
#pragma once

#include <string>
#include <string_view>

#include "platform/platform.h"
#include "platform/window_state.h"
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

// The message box: FLTK's, with one button, "OK".
class FltkMessageBox : public MessageBox {
 public:
  void MsgBox(const std::string& text) override;
};

}  // namespace brisel::linux_fltk
