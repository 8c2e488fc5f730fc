// What a message from another brisel asks of the running program, on every platform that has
// an instance channel: "quit" ends it with status 0; a hot key's message (base/hot_key.h, from
// `brisel --key`) is a press of the key "Run" stored for it, handed to `press` as its
// virtual-key code, to reach the key timer the way a key's own event does. Any other text is
// ignored, and so is a press before "Run", when nothing watches the keys yet.
#pragma once

#include <cstdint>
#include <functional>
#include <string_view>

#include "app/program.h"

namespace brisel {

enum class SendResult {
  Sent,         // delivered (and, when waiting, the instance has ended)
  NotRunning,   // no Brisel runs here
  StillRunning  // delivered, but the instance had not ended when the wait ran out
};

void ReceiveInstanceMessage(Program& program, std::string_view message,
                            const std::function<void(std::int32_t vk)>& press);

}  // namespace brisel
