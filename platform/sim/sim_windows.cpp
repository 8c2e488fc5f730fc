#include "platform/sim/sim_windows.h"

namespace brisel::sim {

void SimWindows::click(std::string_view window, std::string_view control) {
  const SimWindow* w = windows_.find(window);
  if (w && w->visible && input_) input_->click(*windows_.handle(window), control);
}

void SimWindows::close(std::string_view window) {
  const SimWindow* w = windows_.find(window);
  if (w && w->visible && input_) input_->close(*windows_.handle(window));
}

void SimWindows::type(std::string_view window, std::string_view control, std::string text) {
  if (const auto hwnd = windows_.handle(window)) type(*hwnd, control, text);
}

void SimWindows::type(HWND window, std::string_view control, const std::string& text) {
  if (windows_.find(window) && input_) input_->text_changed(window, control, text);
}

HWND SimWindows::create_window(const WindowLayout& layout) { return windows_.add(layout).first; }

void SimWindows::show(HWND hwnd) {
  if (SimWindow* w = windows_.find(hwnd)) w->visible = true;
}

void SimWindows::hide(HWND hwnd) {
  if (SimWindow* w = windows_.find(hwnd)) w->visible = false;
}

void SimWindows::set_picture(HWND hwnd, PictureControl control, int picture) {
  if (SimWindow* w = windows_.find(hwnd); w && control == PictureControl::Image2) w->image2 = picture;
}

void SimWindows::set_visible(HWND hwnd, PictureControl control, bool visible) {
  if (SimWindow* w = windows_.find(hwnd); w && control == PictureControl::Mute) w->mute = visible;
}

}  // namespace brisel::sim
