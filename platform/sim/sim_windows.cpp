#include "platform/sim/sim_windows.h"

namespace brisel::sim {

void SimWindows::click(std::string_view window, std::string_view control) {
  const SimWindow* w = windows_.find(window);
  if (w && w->visible && input_) input_->click(*windows_.handle(window), control);
}

void SimWindows::type(std::string_view window, std::string_view control, std::string text) {
  if (windows_.find(window) && input_) input_->text_changed(*windows_.handle(window), control, std::move(text));
}

HWND SimWindows::create_window(const WindowLayout& layout) { return windows_.add(layout).first; }

void SimWindows::show(HWND hwnd) {
  if (SimWindow* w = windows_.find(hwnd)) w->visible = true;
}

void SimWindows::hide(HWND hwnd) {
  if (SimWindow* w = windows_.find(hwnd)) w->visible = false;
}

std::int32_t SimWindows::GetWindowLongA(HWND hwnd, std::int32_t index) {
  SimWindow* w = windows_.find(hwnd);
  return w ? w->style.get(index) : 0;
}

std::int32_t SimWindows::SetWindowLongA(HWND hwnd, std::int32_t index, std::int32_t value) {
  SimWindow* w = windows_.find(hwnd);
  return w ? w->style.set(index, value) : 0;
}

bool SimWindows::SetLayeredWindowAttributes(HWND hwnd, std::uint32_t, std::uint8_t bAlpha, std::uint32_t dwFlags) {
  SimWindow* w = windows_.find(hwnd);
  if (!w || !w->style.takes_alpha(dwFlags)) return false;
  w->opacity = bAlpha;
  return true;
}

HRGN SimWindows::CreateRoundRectRgn(int left, int top, int right, int bottom, int width, int height) {
  return regions_.create(left, top, right, bottom, width, height);
}

int SimWindows::SetWindowRgn(HWND hwnd, HRGN rgn, bool) {
  SimWindow* w = windows_.find(hwnd);
  if (!w) return 0;
  const auto r = regions_.take(rgn);
  if (!r) return 0;
  w->region = r;
  return 1;
}

void SimWindows::set_picture(HWND hwnd, PictureControl control, int picture) {
  if (SimWindow* w = windows_.find(hwnd); w && control == PictureControl::Image2) w->image2 = picture;
}

void SimWindows::set_visible(HWND hwnd, PictureControl control, bool visible) {
  if (SimWindow* w = windows_.find(hwnd); w && control == PictureControl::Mute) w->mute = visible;
}

}  // namespace brisel::sim
