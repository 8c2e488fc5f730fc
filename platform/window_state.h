// What a platform without Windows' window records keeps in their place: the windows by
// handle, a window's extended style word, and the round-rect regions made but not yet handed to
// a window. The simulated and the X11 window systems both keep them this way.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string_view>
#include <utility>

#include "platform/platform.h"

namespace brisel {

using RoundRect = std::array<int, 6>;  // left, top, right, bottom, ellipse width, ellipse height

struct ExStyleWord {
  std::int32_t exstyle = 0;

  std::int32_t get(std::int32_t index) const { return index == GWL_EXSTYLE ? exstyle : 0; }
  // The previous word, as SetWindowLongA answers.
  std::int32_t set(std::int32_t index, std::int32_t value) {
    return index == GWL_EXSTYLE ? std::exchange(exstyle, value) : 0;
  }
  // A whole-window opacity takes only on a layered window, and only in the alpha mode.
  bool takes_alpha(std::uint32_t flags) const { return (exstyle & WS_EX_LAYERED) && (flags & LWA_ALPHA); }
};

// The windows, by the handles given out in the order they were made. W has a member
// `const WindowLayout* layout`.
template <typename W>
class WindowTable {
 public:
  // A new window of this layout and its handle.
  std::pair<HWND, W&> add(const WindowLayout& layout) {
    const HWND hwnd = 0x10000u + static_cast<HWND>(windows_.size()) * 0x10u;
    auto& w = windows_[hwnd] = std::make_unique<W>();
    w->layout = &layout;
    return {hwnd, *w};
  }
  W* find(HWND hwnd) const {
    auto it = windows_.find(hwnd);
    return it == windows_.end() ? nullptr : it->second.get();
  }
  W* find(std::string_view name) const {
    for (const auto& [hwnd, w] : windows_)
      if (w->layout->name == name) return w.get();
    return nullptr;
  }
  std::optional<HWND> handle(std::string_view name) const {
    for (const auto& [hwnd, w] : windows_)
      if (w->layout->name == name) return hwnd;
    return std::nullopt;
  }

 private:
  std::map<HWND, std::unique_ptr<W>> windows_;
};

class RegionTable {
 public:
  HRGN create(int left, int top, int right, int bottom, int width, int height) {
    regions_[next_] = {left, top, right, bottom, width, height};
    return next_++;
  }
  // The region, handed over to a window: it leaves the table.
  std::optional<RoundRect> take(HRGN rgn) {
    auto it = regions_.find(rgn);
    if (it == regions_.end()) return std::nullopt;
    const RoundRect r = it->second;
    regions_.erase(it);
    return r;
  }

 private:
  std::map<HRGN, RoundRect> regions_;
  HRGN next_ = 1;
};

// The window records themselves, for a window system without Windows' own: the extended style
// word, the opacity and the outline of each window, kept for the calls that read and write
// them. W has `const WindowLayout* layout`, `ExStyleWord style`, `std::optional<int> opacity`
// and `std::optional<RoundRect> region`; a backend shows a change in opacity_changed and
// region_changed.
template <typename W>
class WindowRecords : public WindowSystem {
 public:
  std::int32_t GetWindowLongA(HWND hwnd, std::int32_t index) override {
    const W* w = windows_.find(hwnd);
    return w ? w->style.get(index) : 0;
  }
  std::int32_t SetWindowLongA(HWND hwnd, std::int32_t index, std::int32_t value) override {
    W* w = windows_.find(hwnd);
    return w ? w->style.set(index, value) : 0;
  }
  bool SetLayeredWindowAttributes(HWND hwnd, std::uint32_t, std::uint8_t bAlpha, std::uint32_t dwFlags) override {
    W* w = windows_.find(hwnd);
    if (!w || !w->style.takes_alpha(dwFlags)) return false;
    w->opacity = bAlpha;
    opacity_changed(*w);
    return true;
  }
  HRGN CreateRoundRectRgn(int left, int top, int right, int bottom, int width, int height) override {
    return regions_.create(left, top, right, bottom, width, height);
  }
  int SetWindowRgn(HWND hwnd, HRGN rgn, bool) override {
    W* w = windows_.find(hwnd);
    if (!w) return 0;
    const auto r = regions_.take(rgn);
    if (!r) return 0;
    w->region = r;
    region_changed(*w);
    return 1;
  }

 protected:
  virtual void opacity_changed(W&) {}
  virtual void region_changed(W&) {}
  WindowTable<W> windows_;

 private:
  RegionTable regions_;
};

}  // namespace brisel
