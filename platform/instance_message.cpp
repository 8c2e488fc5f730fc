#include "platform/instance_message.h"

#include "base/hot_key.h"

namespace brisel {

void ReceiveInstanceMessage(Program& program, std::string_view message,
                            const std::function<void(std::int32_t vk)>& press) {
  if (message == "quit") return program.end(0);
  const auto key = HotKeyInMessage(message);
  if (const auto vk = key ? program.hot_key_code(*key) : std::nullopt) press(*vk);
}

}  // namespace brisel
