// The three hot keys by what they do, and their names on the command line and in the messages
// between brisel processes.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace brisel {

enum class HotKey { up, down, mute };

// "up", "down", "mute".
std::string_view HotKeyName(HotKey key);
// The hot key with that exact name; none for any other text.
std::optional<HotKey> HotKeyNamed(std::string_view name);

// The message by which `brisel --key` tells the running Brisel of a press ("key up"), and the
// hot key a message names; none for any other text.
std::string HotKeyMessage(HotKey key);
std::optional<HotKey> HotKeyInMessage(std::string_view message);

}  // namespace brisel
