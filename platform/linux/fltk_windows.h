// The windows on X11 with FLTK, built from their layouts: the picture behind, and the label,
// selectors and buttons the layout places inside, in its tab order. What the user does is
// reported through the program's Input. Opacity is the window's _NET_WM_WINDOW_OPACITY (a
// compositing manager makes it visible) and the outline an XShape bounding region. Hiding
// destroys FLTK's X window, so every show() applies the name, class hint, outline and opacity
// again.
#pragma once

#include <string>
#include <string_view>

#include "platform/platform.h"
#include "platform/window_state.h"

namespace brisel::linux_fltk {

class FltkWindows : public WindowSystem {
 public:
  FltkWindows();
  ~FltkWindows() override;

  void set_input(Input& input) override { input_ = &input; }
  HWND create_window(const WindowLayout& layout) override;
  void show(HWND hwnd) override;
  void hide(HWND hwnd) override;
  std::int32_t GetWindowLongA(HWND hwnd, std::int32_t index) override;
  std::int32_t SetWindowLongA(HWND hwnd, std::int32_t index, std::int32_t value) override;
  bool SetLayeredWindowAttributes(HWND hwnd, std::uint32_t crKey, std::uint8_t bAlpha, std::uint32_t dwFlags) override;
  HRGN CreateRoundRectRgn(int left, int top, int right, int bottom, int width, int height) override;
  int SetWindowRgn(HWND hwnd, HRGN rgn, bool redraw) override;
  void set_picture(HWND hwnd, PictureControl control, int picture) override;
  void set_visible(HWND hwnd, PictureControl control, bool visible) override;

  struct Window;
  Input* input() const { return input_; }

 private:
  void apply_opacity(Window& w);
  void apply_region(Window& w);
  Input* input_ = nullptr;
  WindowTable<Window> windows_;
  RegionTable regions_;
};

// A key name as a menu label: FLTK reads "/" as a submenu, "&" as a shortcut and a leading "_"
// as a divider unless they are escaped (" /" is the keypad's divide key).
std::string MenuLabel(std::string_view name);

class FltkMessageBox : public MessageBox {
 public:
  void MsgBox(const std::string& text) override;
};

}  // namespace brisel::linux_fltk
