// The hot keys' state. Only the three watched keys are ever asked for.
//
// The keyboard takes the desktop's raw key events (Raw Input with RIDEV_INPUTSINK, whatever
// window has the focus): an event of a watched key is noted, every other one is dropped as it
// comes. Every press is counted and answered by a query of its own ("pressed since"), so that
// taps closer together than a tick, or than GetAsyncKeyState's own memory of one press, each
// step once; and idle() says when the key timer may sleep: no watched key is down and no
// press waits for its answer. GetAsyncKeyState still has the last word on a key held down, so
// that a release the raw events missed does not hold the key forever.
// Where Raw Input cannot be had, a warning says so, GetAsyncKeyState answers alone and the timer
// polls.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/platform.h"
#include "platform/win32/win32_headers.h"

namespace brisel::win32 {

class Win32Keyboard : public Keyboard {
 public:
  // With `raw_input` false the keys are only polled (the benchmark's reference).
  explicit Win32Keyboard(bool raw_input = true);
  ~Win32Keyboard() override;
  Win32Keyboard(const Win32Keyboard&) = delete;
  Win32Keyboard& operator=(const Win32Keyboard&) = delete;

  std::int16_t GetAsyncKeyState(std::int32_t vk) override;
  // A key the program is about to query: its events count from now on, so that a tap before
  // the key timer's first query wakes it.
  void watch(std::int32_t vk);
  // One press of `vk` from outside the keyboard (brisel --key), answered by a later query of
  // its own.
  void press_from_outside(std::int32_t vk);
  // Whether raw key events arrive; without them the timer must poll.
  bool raw_input() const { return window_ != nullptr; }
  // Keys are watched, none is down and no press waits for a query: nothing can happen until a
  // watched key's event comes. Never without raw key events.
  bool idle() const;

 private:
  struct Watched {
    std::int32_t vk;
    UINT scan_code;              // the key's scan code in the keyboard layout, 0 if none
    bool down = false;           // as the raw events say
    std::uint32_t presses = 0;   // from the keyboard or from outside, not answered yet
    std::uint32_t up_answers = 0;  // queries in a row that found the key up while `down`
  };
  static LRESULT CALLBACK Proc(::HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  void raw_event(const RAWKEYBOARD& key);
  Watched& watched(std::int32_t vk);  // watched from now on, as the most recently asked
  static constexpr std::size_t kMax = 3;
  std::vector<Watched> watched_;  // most recently asked last
  ::HWND window_ = nullptr;       // Raw Input's target
};

}  // namespace brisel::win32
