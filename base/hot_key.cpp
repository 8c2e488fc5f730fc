#include "base/hot_key.h"

#include <iterator>

namespace brisel {

namespace {
constexpr std::string_view kNames[] = {"up", "down", "mute"};  // in the order of HotKey
constexpr std::string_view kMessage = "key ";                    // then the name
}  // namespace

std::string_view HotKeyName(HotKey key) { return kNames[static_cast<std::size_t>(key)]; }

std::optional<HotKey> HotKeyNamed(std::string_view name) {
  for (std::size_t i = 0; i < std::size(kNames); ++i)
    if (kNames[i] == name) return static_cast<HotKey>(i);
  return std::nullopt;
}

std::string HotKeyMessage(HotKey key) { return std::string(kMessage) + std::string(HotKeyName(key)); }

std::optional<HotKey> HotKeyInMessage(std::string_view message) {
  if (!message.starts_with(kMessage)) return std::nullopt;
  return HotKeyNamed(message.substr(kMessage.size()));
}

}  // namespace brisel
