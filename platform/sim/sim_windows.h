// The simulated windows: each keeps what it would show (visibility, opacity, outline, the
// display's level picture and mute patch); the simulated user clicks and types through the
// program's input, and answers every message box with OK at once.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/platform.h"
#include "platform/window_state.h"

namespace brisel::sim {

struct SimWindow {
  const WindowLayout* layout = nullptr;
  bool visible = false;
  ExStyleWord style;
  std::optional<int> opacity;
  std::optional<RoundRect> region;
  int image2 = 0;  // lit squares of the picture Image2 shows
  bool mute = false;
};

class SimWindows : public WindowSystem {
 public:
  const SimWindow* find(std::string_view name) const { return windows_.find(name); }

  // The user's actions, reported as a backend reports them. Nobody can click a hidden window.
  void click(std::string_view window, std::string_view control);
  void type(std::string_view window, std::string_view control, std::string text);

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

 private:
  Input* input_ = nullptr;
  WindowTable<SimWindow> windows_;
  RegionTable regions_;
};

class SimMessageBox : public MessageBox {
 public:
  void MsgBox(const std::string&) override { ++shown_; }
  int shown() const { return shown_; }

 private:
  int shown_ = 0;
};

}  // namespace brisel::sim
