// The state of the watched keys, from raw key events: which of their keycodes are down and
// how many presses nobody has asked about yet. The watched keys are the ones queried (the three
// hot keys, the most recently queried three); an event of any other key is dropped as it
// comes, so that nothing of what the user types elsewhere is kept.
//
// A press can also come from outside the keyboard: a desktop's own shortcut that runs
// `brisel --key up`. Every press, from the keyboard or from outside, is counted and answered by
// a query of its own ("pressed since"), so that a burst of presses, or taps that came while the
// program was held up, steps once per press and none is lost.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

#include "platform/linux/x11_keys.h"

namespace brisel::linux_x11 {

class WatchedKeys {
 public:
  using Keymap = std::array<std::vector<KeySymbol>, 256>;  // keysyms by keycode

  // The key map as it is now; keycodes move between keys when it changes.
  void set_keymap(Keymap keymap) { keymap_ = std::move(keymap); }
  // A raw key event; whether it concerns a watched key.
  bool event(int keycode, bool press);
  // The key-state answer for `vk` (0x8000 down, 1 pressed since the last query), and the key is
  // watched from now on. A key newly watched starts with the keycodes `held_now` says are down.
  std::int16_t query(std::int32_t vk, const std::function<bool(int keycode)>& held_now);
  // The key is watched from now on, before its first query, with its keycodes down as
  // `held_now` says. False for a code that stands for no key.
  bool begin_watching(std::int32_t vk, const std::function<bool(int keycode)>& held_now);
  // One press of `vk` from outside, answered by a later query; the key is watched from now on
  // (with its keycodes down as `held_now` says). False for a code that stands for no key.
  bool press_from_outside(std::int32_t vk, const std::function<bool(int keycode)>& held_now);
  // Keys are watched, none is down and no press, from the keyboard or from outside, waits for a
  // query: nothing can happen until a watched key's event comes.
  bool idle() const;
  // Whether a watched key is down: only then do its releases matter.
  bool any_down() const;
  // A keycode is known to be down only once the key map, asked after its releases were sure to
  // come, says so; until then its release may have gone unseen, and a press of it is a new
  // press, not the key's auto-repeat.
  bool any_unconfirmed() const;
  // The key map as asked now: keycodes it shows up are released, those it shows held are
  // confirmed down.
  void confirm(const std::function<bool(int keycode)>& held_now);
  std::size_t count() const { return watched_.size(); }
  // Whether the keycode stands for the key in the key map as it is now.
  bool carries(int keycode, std::int32_t vk) const;

 private:
  struct Down {
    int keycode;
    bool confirmed;
  };
  struct Watched {
    std::int32_t vk;
    std::vector<Down> down;  // keycodes of this key held now
    std::uint32_t presses = 0;  // not answered yet
  };
  Watched* find(std::int32_t vk);
  // The key, watched from now on as the most recently queried.
  Watched& watch(std::int32_t vk, const std::function<bool(int keycode)>& held_now);
  static constexpr std::size_t kMax = 3;
  Keymap keymap_;
  std::vector<Watched> watched_;  // most recently queried last
};

}  // namespace brisel::linux_x11
