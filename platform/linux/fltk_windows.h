// Both windows on X11 with FLTK, built from their layouts. Opacity is the window's
// _NET_WM_WINDOW_OPACITY (a compositing manager makes it visible) and the outline an XShape
// bounding region. Hiding destroys FLTK's X window, so every show() applies the name, class
// hint, outline and opacity again.
#pragma once

#include <array>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/platform.h"
#include "platform/window_state.h"

class Fl_Double_Window;

namespace brisel::linux_fltk {

class FltkWindows : public WindowSystem {
 public:
  FltkWindows();
  ~FltkWindows() override;

  // What the user does in the dialog: an edit of a selector (by control name), a click on Run.
  std::function<void(std::string_view control, std::string text)> on_edit;
  std::function<void()> on_run;

  HWND create_window(Form form) override;
  void show(HWND hwnd) override;
  void hide(HWND hwnd) override;
  std::int32_t GetWindowLongA(HWND hwnd, std::int32_t index) override;
  std::int32_t SetWindowLongA(HWND hwnd, std::int32_t index, std::int32_t value) override;
  bool SetLayeredWindowAttributes(HWND hwnd, std::uint32_t crKey, std::uint8_t bAlpha, std::uint32_t dwFlags) override;
  HRGN CreateRoundRectRgn(int left, int top, int right, int bottom, int width, int height) override;
  int SetWindowRgn(HWND hwnd, HRGN rgn, bool redraw) override;
  void set_picture(HWND hwnd, PictureControl control, int picture) override;
  void set_visible(HWND hwnd, PictureControl control, bool visible) override;

 private:
  struct Window;
  Window* find(HWND hwnd);
  void apply_opacity(Window& w);
  void apply_region(Window& w);
  std::map<HWND, std::unique_ptr<Window>> windows_;
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
