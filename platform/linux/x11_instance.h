// One Brisel per X display, and short messages to it from other brisel processes.
//
// The running instance owns the display-wide selection _BRISEL_INSTANCE with a window of a
// connection of its own. The selection vanishes with that connection, so a crashed instance
// never blocks the next start. A message is a ClientMessage of type _BRISEL_MESSAGE sent to the
// owner's window: up to 20 bytes of text ("quit"; later "key up" and the like), padded with
// NULs. The receiver ignores any text it does not know.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "platform/instance_message.h"

typedef struct _XDisplay Display;

namespace brisel::linux_x11 {

inline constexpr std::size_t kMaxInstanceMessage = 20;

class InstanceChannel {
 public:
  enum class State { Owner, Taken, NoDisplay };

  // Opens a connection to `display_name` (nullptr: $DISPLAY) and takes the instance selection,
  // unless another process holds it (Taken).
  explicit InstanceChannel(const char* display_name);
  ~InstanceChannel();
  InstanceChannel(const InstanceChannel&) = delete;
  InstanceChannel& operator=(const InstanceChannel&) = delete;

  State state() const { return state_; }
  // Readable when messages may have arrived; register it with the program's loop.
  int fd() const;
  // The messages that arrived, oldest first; never blocks. Also answers other clients'
  // requests for the selection's content (there is none) so that they never wait for it.
  std::vector<std::string> receive();

 private:
  Display* display_ = nullptr;
  unsigned long window_ = 0;
  unsigned long selection_ = 0, message_type_ = 0;
  State state_ = State::NoDisplay;
};

// Sends `message` (at most kMaxInstanceMessage bytes) to the Brisel running on `display`.
// With a wait, returns once the instance has ended or the wait has run out.
SendResult SendToInstance(Display* display, std::string_view message, int wait_for_end_ms = 0);

}  // namespace brisel::linux_x11
