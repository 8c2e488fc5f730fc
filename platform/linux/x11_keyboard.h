// Global key state on X11. XInput2 raw key events on the root window (master devices) keep the
// state and count the presses of the watched keys, so that a tap shorter than a tick is still
// seen; where XInput2 is missing, XQueryKeymap gives the state at the moment of the query. The
// watched keys are the ones the program queries (the three hot keys); every event of any other
// key is dropped as it is read, and no key is ever written anywhere.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "platform/linux/x11_keys.h"
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

  // How many keys have state kept (for tests: never more than the keys queried).
  std::size_t watched_count() const { return watched_.size(); }

 private:
  struct Watched {
    std::int32_t vk;
    std::vector<int> down;  // keycodes of this key held now
    std::uint32_t presses = 0;
  };
  static constexpr std::size_t kMaxWatched = 3;

  void drain();
  void load_keymap();
  void key_event(int keycode, bool press);
  bool carries(int keycode, std::int32_t vk) const;  // the keycode stands for the key now
  Watched& watch(std::int32_t vk);

  Display* display_ = nullptr;
  int xi_opcode_ = -1;
  std::array<std::vector<KeySymbol>, 256> keymap_;  // keysyms by keycode
  std::vector<Watched> watched_;                   // most recently queried last
};

}  // namespace brisel::linux_x11
