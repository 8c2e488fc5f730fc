// The Windows program's one message loop (platform/program_host.h): the windows' messages, the
// instance channel's, and the timer table's ticks. One SetTimer on a message-only window stands
// for the next due tick of the whole table, so the table's rules (the 10 ms floor, the order of
// ties, one handler at a time) hold as on every platform; its WM_TIMER is dispatched by any
// loop, the message box's too. The key timer sleeps while the keyboard says nothing can happen,
// and wakes with the next message that changes that (a watched key's raw event, a press from
// brisel --key), so that an idle program does not wake.
#pragma once

#include <cstdint>
#include <exception>
#include <functional>
#include <optional>

#include "base/timers.h"
#include "platform/program_host.h"
#include "platform/win32/win32_headers.h"
#include "platform/win32/win32_instance.h"

namespace brisel::win32 {

class Win32MessageLoop final : public MessageLoop {
 public:
  // `pretranslate` may take a message before it is dispatched (the dialog's keyboard
  // navigation); `channel`, if any, brings the messages from other brisels.
  Win32MessageLoop(TimerTable& timers, const Clock& clock, std::function<bool(MSG&)> pretranslate = {},
                   InstanceChannel* channel = nullptr);
  ~Win32MessageLoop() override;
  Win32MessageLoop(const Win32MessageLoop&) = delete;
  Win32MessageLoop& operator=(const Win32MessageLoop&) = delete;

  void set_key_timer(std::function<FormTimer*()> key_timer, std::function<bool()> idle) override;
  void on_message(std::function<void(const std::string&)> receive) override;
  void key_event() override;
  // Also ends at the thread's WM_QUIT, with its status; `ended` may be empty. An exception that
  // a handler raised inside a window procedure is thrown again from here.
  int run(const std::function<std::optional<int>()>& ended) override;

 private:
  static LRESULT CALLBACK Proc(::HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  void tick();
  void arm();  // the timer for the table's next due tick, when that changed
  void settle();  // the key timer asleep or awake, as the keyboard stands
  TimerTable& timers_;
  const Clock& clock_;
  ::HWND window_ = nullptr;
  std::optional<std::uint64_t> armed_;  // the due instant the timer stands for
  std::function<bool(MSG&)> pretranslate_;
  InstanceChannel* channel_;
  std::function<FormTimer*()> key_timer_;
  std::function<bool()> idle_;
};

// Runs a handler from inside a window procedure. An exception must not cross the system's
// frames: it is kept, the loop is told to end, and Win32MessageLoop::run throws it.
void Guarded(const std::function<void()>& handler);

}  // namespace brisel::win32
