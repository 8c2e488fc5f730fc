#include "platform/linux/watched_keys.h"

#include <algorithm>

namespace brisel::linux_x11 {

bool WatchedKeys::carries(int keycode, std::int32_t vk) const {
  if (keycode < 0 || keycode >= 256) return false;
  const auto& syms = keymap_[static_cast<std::size_t>(keycode)];
  for (KeySymbol sym : KeysymsOf(vk))
    if (std::find(syms.begin(), syms.end(), sym) != syms.end()) return true;
  return false;
}

bool WatchedKeys::event(int keycode, bool press) {
  bool concerns = false;
  for (Watched& w : watched_) {
    const auto held =
        std::find_if(w.down.begin(), w.down.end(), [keycode](const Down& d) { return d.keycode == keycode; });
    if (!press) {
      // Released by the keycode it went down with, even if the key map has moved it since.
      if (held == w.down.end()) continue;
      w.down.erase(held);
      concerns = true;
      continue;
    }
    if (!carries(keycode, w.vk)) continue;
    concerns = true;
    if (held != w.down.end() && held->confirmed) continue;  // auto-repeat: presses without releases
    if (held == w.down.end()) w.down.push_back(Down{keycode, false});
    ++w.presses;
  }
  return concerns;
}

WatchedKeys::Watched* WatchedKeys::find(std::int32_t vk) {
  const auto it = std::find_if(watched_.begin(), watched_.end(), [vk](const Watched& w) { return w.vk == vk; });
  return it == watched_.end() ? nullptr : &*it;
}

WatchedKeys::Watched& WatchedKeys::watch(std::int32_t vk, const std::function<bool(int)>& held_now) {
  if (Watched* w = find(vk)) {
    const auto it = watched_.begin() + (w - watched_.data());
    std::rotate(it, it + 1, watched_.end());
    return watched_.back();
  }
  if (watched_.size() == kMax) watched_.erase(watched_.begin());
  Watched& w = watched_.emplace_back(Watched{vk, {}, 0});
  for (int code = 0; code < 256; ++code)
    if (carries(code, vk) && held_now(code)) w.down.push_back(Down{code, false});
  return w;
}

std::int16_t WatchedKeys::query(std::int32_t vk, const std::function<bool(int)>& held_now) {
  if (KeysymsOf(vk).empty()) return 0;
  Watched& w = watch(vk, held_now);
  const bool pressed = w.presses > 0;
  if (pressed) --w.presses;  // one press, one answer
  const int state = (w.down.empty() ? 0 : 0x8000) | (pressed ? 1 : 0);
  return static_cast<std::int16_t>(static_cast<std::uint16_t>(state));
}

bool WatchedKeys::begin_watching(std::int32_t vk, const std::function<bool(int)>& held_now) {
  if (KeysymsOf(vk).empty()) return false;
  if (!find(vk)) watch(vk, held_now);
  return true;
}

bool WatchedKeys::press_from_outside(std::int32_t vk, const std::function<bool(int)>& held_now) {
  if (!begin_watching(vk, held_now)) return false;
  ++find(vk)->presses;
  return true;
}

bool WatchedKeys::any_down() const {
  return std::any_of(watched_.begin(), watched_.end(), [](const Watched& w) { return !w.down.empty(); });
}

bool WatchedKeys::any_unconfirmed() const {
  return std::any_of(watched_.begin(), watched_.end(), [](const Watched& w) {
    return std::any_of(w.down.begin(), w.down.end(), [](const Down& d) { return !d.confirmed; });
  });
}

void WatchedKeys::confirm(const std::function<bool(int)>& held_now) {
  for (Watched& w : watched_) {
    std::erase_if(w.down, [&](const Down& d) { return !held_now(d.keycode); });
    for (Down& d : w.down) d.confirmed = true;
  }
}

bool WatchedKeys::idle() const {
  return !watched_.empty() &&
         std::all_of(watched_.begin(), watched_.end(), [](const Watched& w) { return w.down.empty() && !w.presses; });
}

}  // namespace brisel::linux_x11
