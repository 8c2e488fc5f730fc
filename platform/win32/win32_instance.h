// Short messages to the Brisel running in this Windows session, from other brisel processes
// (--quit, --key). The running program owns a message-only window of the class below; another
// process finds it among the session's message-only windows and sends it the text in a
// WM_COPYDATA: the same texts as on every platform (platform/instance_message.h).
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <utility>

#include "platform/instance_message.h"
#include "platform/win32/win32_headers.h"

namespace brisel::win32 {

// The running program's end of the channel: each message that arrives goes to the receiver
// given by on_message, on the thread that made the channel, from inside its message loop; one
// that arrives before is refused, as if no Brisel ran.
class InstanceChannel {
 public:
  InstanceChannel();
  ~InstanceChannel();
  InstanceChannel(const InstanceChannel&) = delete;
  InstanceChannel& operator=(const InstanceChannel&) = delete;
  void on_message(std::function<void(const std::string&)> receive) { receive_ = std::move(receive); }

 private:
  static LRESULT CALLBACK Proc(::HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  std::function<void(const std::string&)> receive_;
  ::HWND window_ = nullptr;
};

// Sends `message` to the Brisel running in this session. With a wait, returns once that
// program has ended or the wait has run out.
SendResult SendToInstance(std::string_view message, int wait_for_end_ms = 0);

}  // namespace brisel::win32
