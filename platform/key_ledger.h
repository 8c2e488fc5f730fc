// The hot keys' ledger, kept by a keyboard that sees the desktop's key events (X11's raw events,
// Windows' Raw Input): the watched keys (the most recently queried three, the hot keys), which
// of the keyboard's codes hold each of them down, and the presses nobody has asked about yet.
// The keyboard translates its events into it and keeps nothing of any other key.
//
// Every press, from the keyboard or from outside (a desktop's shortcut that runs
// `brisel --key up`), is answered by a query of its own ("pressed since"), so that taps closer
// together than a tick, or that came while the program was held up, step once each. At most
// kMaxWaiting presses of a key wait: the level has no more steps than that, so more could not
// move it further, and a flood of presses cannot queue minutes of stepping.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "platform/platform.h"

namespace brisel {

// A keyboard that keeps the ledger, as the program host drives it.
class HotKeyboard : public Keyboard {
 public:
  // A key the program is about to query (a hot key at the hand-over): its presses count from
  // now on, so that a tap before the key timer's first tick is not lost.
  virtual void watch(std::int32_t vk) = 0;
  // One press of `vk` from outside the keyboard (brisel --key), answered by a later query of
  // its own; the key timer is then woken, as for a key's event.
  virtual void press_from_outside(std::int32_t vk) = 0;
  // The ledger is idle (below) and the keyboard's events would wake the key timer: it may
  // sleep. Never where the keys have to be polled.
  virtual bool idle() const = 0;
};

class KeyLedger {
 public:
  static constexpr std::size_t kKeys = 3;
  static constexpr std::uint32_t kMaxWaiting = 80;

  // `releases_may_be_missed`: a code's release can come unseen (X11 selects releases only
  // while a watched key is down). Then a code is sure to hold its key only once confirm()
  // says so, and until then another press of it is a new press, not the key's auto-repeat.
  explicit KeyLedger(bool releases_may_be_missed) : unsure_(releases_may_be_missed) {}

  // The key is watched from now on. True when it was not: it is the most recently queried, the
  // least recently queried of four is forgotten, and the keyboard says with hold() which of
  // the key's codes are down now.
  bool watch(std::int32_t vk);
  // The key-state answer for the watched key `vk` (0x8000 down, 1 pressed since the last
  // answer), which becomes the most recently queried.
  std::int16_t answer(std::int32_t vk);
  // Calls `visit(vk)` for each watched key, least recently queried first.
  template <class Visit>
  void each_key(Visit visit) const {
    for (const Key& key : keys_) visit(key.vk);
  }

  // The keyboard's events, by the keyboard's own code for what went down (an X keycode; on
  // Windows the watched key's code). A press of the watched key `vk`: counted, unless `code`
  // surely holds the key already (auto-repeat); `code` holds it from now on.
  void press(std::int32_t vk, int code);
  // `code` was down as the watched key `vk` started being watched: held, not pressed.
  void hold(std::int32_t vk, int code);
  // `code` went up: released from every key it held, even one the key map has moved since.
  // Whether it held any.
  bool release(int code);
  // One press of the watched key `vk` from outside the keyboard (brisel --key).
  void press_from_outside(std::int32_t vk);

  // Whether the watched key `vk` is down, by any code; whether any watched key is.
  bool down(std::int32_t vk) const;
  bool any_down() const;
  // Whether a code holds a key without being sure to (releases may be missed).
  bool any_unconfirmed() const;
  // The keyboard's state of every code, asked once releases are sure to come: the codes it
  // shows up are released, those it shows down surely hold their keys.
  void confirm(const std::function<bool(int code)>& down_now);
  // Keys are watched, none is down and no press waits for its answer: nothing can happen
  // until a watched key's event comes, and the key timer may sleep.
  bool idle() const;
  std::size_t count() const { return keys_.size(); }

 private:
  struct Held {
    int code;
    bool sure;
  };
  struct Key {
    std::int32_t vk;
    std::vector<Held> held;     // the codes that hold it down now
    std::uint32_t waiting = 0;  // presses not answered yet
  };
  Key& key(std::int32_t vk);  // a watched key
  void count_press(Key& key) {
    if (key.waiting < kMaxWaiting) ++key.waiting;
  }
  bool unsure_;
  std::vector<Key> keys_;  // least recently queried first
};

}  // namespace brisel
