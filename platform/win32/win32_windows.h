// The windows as Win32 windows, built from their layouts: borderless WS_POPUP windows titled
// from the layout, without a taskbar button (WS_EX_TOOLWINDOW), each shown centred on the work
// area of the monitor under the pointer and sized at that monitor's scale (its DPI over 96; the
// process is per-monitor DPI aware): controls, fonts, picture and outline at the scale. The picture behind
// the controls is painted from a device-independent bitmap; the label, selectors and buttons
// are the system's controls, made in tab order. What the user does reaches the program
// through its Input. Opacity, outline and the extended style are the real calls on the real
// window. The display (a layout that does not take the focus) is also WS_EX_TOPMOST and
// WS_EX_NOACTIVATE and is shown with SW_SHOWNOACTIVATE.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/win32/win32_headers.h"
#include "platform/window_state.h"

namespace brisel::win32 {

class Win32Windows : public WindowSystem {
 public:
  Win32Windows();
  ~Win32Windows() override;
  Win32Windows(const Win32Windows&) = delete;
  Win32Windows& operator=(const Win32Windows&) = delete;

  void set_input(Input& input) override { input_ = &input; }
  HWND create_window(const WindowLayout& layout) override;
  void type(HWND window, std::string_view control, const std::string& text) override;
  void show(HWND hwnd) override;
  void hide(HWND hwnd) override;
  std::int32_t GetWindowLongA(HWND hwnd, std::int32_t index) override;
  std::int32_t SetWindowLongA(HWND hwnd, std::int32_t index, std::int32_t value) override;
  bool SetLayeredWindowAttributes(HWND hwnd, std::uint32_t crKey, std::uint8_t bAlpha, std::uint32_t dwFlags) override;
  HRGN CreateRoundRectRgn(int left, int top, int right, int bottom, int width, int height) override;
  int SetWindowRgn(HWND hwnd, HRGN rgn, bool redraw) override;
  void set_picture(HWND hwnd, PictureControl control, int picture) override;
  void set_visible(HWND hwnd, PictureControl control, bool visible) override;

  // The keyboard navigation of a window that takes the focus (Tab, Shift+Tab, arrows): true
  // when the message was handled. For the message loop.
  bool dialog_message(MSG& msg);

  struct Window;

 private:
  static LRESULT CALLBACK Proc(::HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  LRESULT handle(Window& w, UINT msg, WPARAM wp, LPARAM lp);
  void paint(Window& w);
  void command(Window& w, WPARAM wp, LPARAM lp);
  void draw_button(const DRAWITEMSTRUCT& item);
  HFONT font_for(const ControlLayout& c, Scale scale);
  // Sizes the window, its controls and fonts, its outline and picture at the scale.
  void apply_scale(Window& w, Scale scale);
  int apply_region(Window& w, bool redraw);
  Input* input_ = nullptr;
  WindowTable<Window> windows_;
  std::map<::HWND, Window*> natives_;
  RegionTable regions_;  // made at 96 dpi, not yet handed to a window
  std::map<std::pair<int, int>, HFONT> fonts_;  // by face (0: the system's, 1: regular, 2: bold) and scale
  HBRUSH button_face_ = nullptr;
};

}  // namespace brisel::win32
