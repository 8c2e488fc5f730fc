// The Linux program's one message loop, with the contract of the Windows one
// (platform/win32/win32_message_loop.h): it runs the timers that are due, then sleeps in FLTK's
// wait until the next due tick or an event (the windows', the keyboard's, another brisel's
// message). The key timer sleeps while no watched key is down and no press waits for it, so
// that the program does not wake at all while nobody presses a hot key; an event of a watched
// key or of the key map wakes it, and so does a press from another instance, and it ticks at
// once.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>

#include "base/timers.h"
#include "platform/linux/descriptor_watch.h"
#include "platform/linux/x11_instance.h"
#include "platform/linux/x11_keyboard.h"

namespace brisel::linux_x11 {

class LinuxMessageLoop : public DescriptorWatch {
 public:
  // Watches the keyboard's and the channel's connections from here on.
  LinuxMessageLoop(TimerTable& timers, const Clock& clock, X11Keyboard& keyboard, InstanceChannel& channel);
  ~LinuxMessageLoop();
  LinuxMessageLoop(const LinuxMessageLoop&) = delete;
  LinuxMessageLoop& operator=(const LinuxMessageLoop&) = delete;

  // The timer the keyboard's events wake, as the program has it: none until it exists. With
  // `always_poll` (BRISEL_KEYS=poll, the benchmark's reference) it never sleeps.
  void set_key_timer(std::function<FormTimer*()> key_timer, bool always_poll = false);
  // Where each message from another brisel goes, oldest first.
  void on_message(std::function<void(const std::string&)> receive);
  // A press was handed to the keyboard from outside its events (brisel --key): the key timer
  // wakes as for a key's event.
  void key_event() { settle(true); }
  // More descriptors to wait on (the sound output's events).
  void watch(int fd, std::function<void()> readable) override;
  void unwatch(int fd) override;

  // Runs until `ended` gives a status, and returns it; `ended` is asked after every tick and
  // every event. `after_ticks` runs after each round of due ticks. An exception from a
  // handler ends the loop and leaves it.
  int run(const std::function<std::optional<int>()>& ended, const std::function<void()>& after_ticks = {});

 private:
  void settle(bool key_event);  // the key timer asleep or awake, as the keyboard stands
  void receive();               // the messages that came on the channel
  static void OnKeyboard(int fd, void* self);
  static void OnChannel(int fd, void* self);
  TimerTable& timers_;
  const Clock& clock_;
  X11Keyboard& keyboard_;
  InstanceChannel& channel_;
  std::function<FormTimer*()> key_timer_;
  bool always_poll_ = false;
  std::function<void(const std::string&)> receive_;
  std::map<int, std::function<void()>> watched_;
};

}  // namespace brisel::linux_x11
