#include "platform/instance_message.h"

#include <cstdio>
#include <string>

#include "base/hot_key.h"

namespace brisel {

void ReceiveInstanceMessage(Program& program, std::string_view message,
                            const std::function<void(std::int32_t vk)>& press) {
  if (message == "quit") return program.end(0);
  const auto key = HotKeyInMessage(message);
  if (const auto vk = key ? program.hot_key_code(*key) : std::nullopt) press(*vk);
}

int SendFromCommandLine(const Options& options, const InstanceSender& send, std::string_view here) {
  const std::string where(here);
  if (options.quit) {
    // The running Brisel is asked to end, and given a few seconds to do so.
    const SendResult sent = send("quit", 5000);
    if (sent == SendResult::Sent) return 0;
    if (sent == SendResult::NotRunning)
      std::fprintf(stderr, "brisel: not running %s\n", where.c_str());
    else
      std::fprintf(stderr, "brisel: the Brisel %s did not end\n", where.c_str());
    return 1;
  }
  // Handed to the running Brisel's queue, nothing more: a desktop's key repeat may run many of
  // these in a row, and each is answered as a press of its own.
  if (send(HotKeyMessage(*options.key), 0) == SendResult::Sent) return 0;
  std::fprintf(stderr, "brisel: not running %s\n", where.c_str());
  return 1;
}

}  // namespace brisel
