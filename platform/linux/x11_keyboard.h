// Global key state on X11. XInput2 raw key events on the root window (master devices) keep
// each keycode's state and count its presses, so that a tap shorter than a tick is still seen;
// where XInput2 is missing, XQueryKeymap gives the state at the moment of the query. Only the
// state is kept: no key is ever written anywhere.
#pragma once

#include <array>
#include <cstdint>
#include <map>

#include "platform/platform.h"

typedef struct _XDisplay Display;

namespace brisel::linux_x11 {

class X11Keyboard : public Keyboard {
 public:
  // Opens a connection of its own to `display_name` (nullptr: $DISPLAY); check ok().
  explicit X11Keyboard(const char* display_name);
  ~X11Keyboard() override;
  X11Keyboard(const X11Keyboard&) = delete;
  X11Keyboard& operator=(const X11Keyboard&) = delete;

  bool ok() const { return display_ != nullptr; }
  bool raw_events() const { return xi_opcode_ >= 0; }

  std::int16_t GetAsyncKeyState(std::int32_t vk) override;

 private:
  void drain();
  void load_keymap();

  Display* display_ = nullptr;
  int xi_opcode_ = -1;
  std::array<bool, 256> down_{};
  std::array<std::uint32_t, 256> presses_{};
  std::multimap<unsigned long, int> keysym_to_keycodes_;
};

}  // namespace brisel::linux_x11
