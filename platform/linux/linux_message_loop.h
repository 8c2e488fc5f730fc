// The Linux program's one message loop (platform/program_host.h): it runs the timers that are
// due, then sleeps in FLTK's wait until the next due tick or an event (the windows', the
// keyboard's, another brisel's message). The key timer sleeps while no watched key is down and
// no press waits for it, so that the program does not wake at all while nobody presses a hot
// key; an event of a watched key or of the key map wakes it, and so does a press from another
// instance, and it ticks at once.
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
#include "platform/program_host.h"

namespace brisel::linux_x11 {

class LinuxMessageLoop final : public MessageLoop, public DescriptorWatch {
 public:
  // Watches the keyboard's and the channel's connections from here on.
  LinuxMessageLoop(TimerTable& timers, const Clock& clock, X11Keyboard& keyboard, InstanceChannel& channel);
  ~LinuxMessageLoop() override;
  LinuxMessageLoop(const LinuxMessageLoop&) = delete;
  LinuxMessageLoop& operator=(const LinuxMessageLoop&) = delete;

  void set_key_timer(std::function<FormTimer*()> key_timer, std::function<bool()> idle) override;
  void on_message(std::function<void(const std::string&)> receive) override;
  void key_event() override { settle(true); }
  int run(const std::function<std::optional<int>()>& ended) override;
  // More descriptors to wait on (the sound output's events).
  void watch(int fd, std::function<void()> readable) override;
  void unwatch(int fd) override;

 private:
  // The events read, and the key timer asleep or awake as the keyboard stands; `key_event`: a
  // press came from outside.
  void settle(bool key_event);
  void receive();               // the messages that came on the channel
  static void OnKeyboard(int fd, void* self);
  static void OnChannel(int fd, void* self);
  TimerTable& timers_;
  const Clock& clock_;
  X11Keyboard& keyboard_;
  InstanceChannel& channel_;
  std::function<FormTimer*()> key_timer_;
  std::function<bool()> idle_;
  std::function<void(const std::string&)> receive_;
  std::map<int, std::function<void()>> watched_;
};

}  // namespace brisel::linux_x11
