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

class SimWindows : public WindowRecords<SimWindow> {
 public:
  const SimWindow* find(std::string_view name) const { return windows_.find(name); }

  // The user's actions, reported as a backend reports them. Nobody can click a hidden window.
  void click(std::string_view window, std::string_view control);
  void type(std::string_view window, std::string_view control, std::string text);
  // The window manager's close of a shown window.
  void close(std::string_view window);

  void set_input(Input& input) override { input_ = &input; }
  HWND create_window(const WindowLayout& layout) override;
  void type(HWND window, std::string_view control, const std::string& text) override;
  void show(HWND hwnd) override;
  void hide(HWND hwnd) override;
  void set_picture(HWND hwnd, PictureControl control, int picture) override;
  void set_visible(HWND hwnd, PictureControl control, bool visible) override;

 private:
  Input* input_ = nullptr;
};

class SimMessageBox : public MessageBox {
 public:
  void MsgBox(const std::string&) override { ++shown_; }
  int shown() const { return shown_; }

 private:
  int shown_ = 0;
};

}  // namespace brisel::sim
