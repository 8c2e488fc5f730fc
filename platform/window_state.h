// What a platform without Windows' window records keeps in their place: a window's extended
// style word, and the round-rect regions made but not yet handed to a window. The simulated
// and the X11 window systems both keep them this way.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <optional>
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

}  // namespace brisel
