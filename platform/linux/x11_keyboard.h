// Global key state on X11. XInput2 raw key events on the root window (master devices) are
// translated into the hot keys' ledger (platform/key_ledger.h) by the key map as it is now
// (keycodes move between keys when it changes), so that a tap shorter than a tick is still
// seen; where XInput2 is missing, XQueryKeymap gives the state at the moment of the query, and a
// warning says so at the start. No key is ever written anywhere.
//
// Raw events cannot be selected per key: every keystroke of the desktop arrives on the
// keyboard's own connection. The program's loop watches that connection (fd()), lets drain()
// read what came, and lets the key timer sleep while idle() says nothing can happen. Releases
// are selected only while a watched key is down, so that a keystroke elsewhere wakes the
// program once, not twice.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/key_ledger.h"
#include "platform/linux/x11_keys.h"

typedef struct _XDisplay Display;

namespace brisel::linux_x11 {

class X11Keyboard : public HotKeyboard {
 public:
  // Opens a connection of its own to `display_name` (nullptr: $DISPLAY); check ok().
  explicit X11Keyboard(const char* display_name);
  ~X11Keyboard() override;
  X11Keyboard(const X11Keyboard&) = delete;
  X11Keyboard& operator=(const X11Keyboard&) = delete;

  bool ok() const { return display_ != nullptr; }
  // Why the connection could not be opened (for XOpenDisplay's failure line); empty when ok().
  const std::string& failure() const { return failure_; }
  bool raw_events() const { return xi_opcode_ >= 0; }
  int fd() const;

  std::int16_t GetAsyncKeyState(std::int32_t vk) override;
  // A press from outside reads the events that came first; a key about to be watched counts
  // also the presses whose events have come but not been read yet.
  void press_from_outside(std::int32_t vk) override;
  void watch(std::int32_t vk) override;

  // Reads every event that has come, also those Xlib queued while it waited for a reply;
  // whether any concerned a watched key or the key map.
  bool drain();
  // Never with the XQueryKeymap fallback, which has to poll.
  bool idle() const override { return raw_events() && keys_.idle(); }
  std::size_t watched_count() const { return keys_.count(); }

 private:
  // Whether the keycode stands for the key in the key map as it is now.
  bool carries(int keycode, std::int32_t vk) const;
  // The key watched from now on, with the keycodes that are down now as its key map says;
  // false for a code that stands for no key.
  bool begin_watching(std::int32_t vk);
  void load_keymap();
  void select_events(bool releases);
  bool read_queue();        // the events queued now; whether any concerned us
  void follow_releases();   // releases selected exactly while a watched key is down
  bool confirm_down();      // the key map asked, once releases are sure to come; as read_queue
  // Whether a keycode is held, from one XQueryKeymap asked at the first question after
  // held_now(). Made once: the key query on every tick allocates nothing.
  const std::function<bool(int keycode)>& held_now();
  Display* display_ = nullptr;
  std::string failure_;
  int xi_opcode_ = -1;
  bool releases_ = false;
  std::array<char, 32> keymap_state_{};
  bool keymap_asked_ = false;
  std::function<bool(int keycode)> held_;
  std::array<std::vector<KeySymbol>, 256> keymap_;  // keysyms by keycode
  KeyLedger keys_{true};  // releases are selected only while a watched key is down
  int xkb_event_ = -1;  // the XKB extension's event code
};

}  // namespace brisel::linux_x11
