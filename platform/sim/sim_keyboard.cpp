#include "platform/sim/sim_keyboard.h"

namespace brisel::sim {

std::int16_t SimKeyboard::GetAsyncKeyState(std::int32_t vk) {
  if (vk < 0 || vk > 255) return 0;
  Key& k = keys_[static_cast<std::size_t>(vk)];
  const int state = (k.down ? 0x8000 : 0) | (k.pressed_since ? 1 : 0);
  k.pressed_since = false;
  return static_cast<std::int16_t>(static_cast<std::uint16_t>(state));
}

void SimKeyboard::down(int vk) {
  Key& k = keys_.at(static_cast<std::size_t>(vk));
  if (!k.down) k.pressed_since = true;
  k.down = true;
}

void SimKeyboard::up(int vk) { keys_.at(static_cast<std::size_t>(vk)).down = false; }

void SimKeyboard::tap(int vk) {
  Key& k = keys_.at(static_cast<std::size_t>(vk));
  k.down = false;
  k.pressed_since = true;
}

}  // namespace brisel::sim
