// The hot keys' state. Only the three watched keys are ever asked for.
//
// The keyboard takes the desktop's raw key events (Raw Input with RIDEV_INPUTSINK, whatever
// window has the focus): an event of a watched key goes into the hot keys' ledger
// (platform/key_ledger.h), every other one is dropped as it comes. GetAsyncKeyState still has the
// last word on a key held down, so that a release the raw events missed does not hold the key
// forever. Where Raw Input cannot be had, a warning says so, GetAsyncKeyState answers alone and
// the timer polls.
#pragma once

#include <array>
#include <cstdint>

#include "platform/key_ledger.h"
#include "platform/win32/win32_headers.h"

namespace brisel::win32 {

class Win32Keyboard : public HotKeyboard {
 public:
  // With `raw_input` false the keys are only polled (the benchmark's reference).
  explicit Win32Keyboard(bool raw_input = true);
  ~Win32Keyboard() override;
  Win32Keyboard(const Win32Keyboard&) = delete;
  Win32Keyboard& operator=(const Win32Keyboard&) = delete;

  std::int16_t GetAsyncKeyState(std::int32_t vk) override;
  void watch(std::int32_t vk) override;
  void press_from_outside(std::int32_t vk) override;
  // Whether raw key events arrive; without them the timer must poll.
  bool raw_input() const { return window_ != nullptr; }
  // Never without raw key events.
  bool idle() const override { return raw_input() && keys_.idle(); }

 private:
  // What the keyboard keeps of each watched key besides the ledger, by its code.
  struct Watched {
    UINT scan_code = 0;            // the key's scan code in the keyboard layout, 0 if none
    std::uint32_t up_answers = 0;  // queries in a row that found the key up while the ledger holds it
  };
  static LRESULT CALLBACK Proc(::HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  void raw_event(const RAWKEYBOARD& key);
  bool begin_watching(std::int32_t vk);  // false for a code that is no key's
  KeyLedger keys_{false};  // a release always comes as a raw event
  std::array<Watched, 256> watched_{};
  ::HWND window_ = nullptr;  // Raw Input's target
};

}  // namespace brisel::win32
