// Global key state on X11. XInput2 raw key events on the root window (master devices) keep the
// state of the watched keys (platform/linux/watched_keys.h), so that a tap shorter than a tick
// is still seen; where XInput2 is missing, XQueryKeymap gives the state at the moment of the
// query, and a warning says so at the start. No key is ever written anywhere.
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

#include "platform/linux/watched_keys.h"
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
  // Why the connection could not be opened (for XOpenDisplay's failure line); empty when ok().
  const std::string& failure() const { return failure_; }
  bool raw_events() const { return xi_opcode_ >= 0; }
  int fd() const;

  std::int16_t GetAsyncKeyState(std::int32_t vk) override;
  // One press of the key `vk` from outside the keyboard (brisel --key), answered by a later
  // query of its own; the key timer must then be woken, as for a key's event.
  void press_from_outside(std::int32_t vk);
  // A key the program is about to query: its presses count from now on, also those whose events
  // have come but not been read yet, so that a tap between the hand-over and the key timer's
  // first tick is not lost.
  void watch(std::int32_t vk);

  // Reads every event that has come, also those Xlib queued while it waited for a reply;
  // whether any concerned a watched key or the key map.
  bool drain();
  // No watched key is down and no press waits: the key timer may sleep. Never with the
  // XQueryKeymap fallback, which has to poll.
  bool idle() const { return raw_events() && keys_.idle(); }
  std::size_t watched_count() const { return keys_.count(); }

 private:
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
  WatchedKeys keys_;
  int xkb_event_ = -1;  // the XKB extension's event code
};

}  // namespace brisel::linux_x11
