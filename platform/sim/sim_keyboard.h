// The scripted keyboard: keys go down, up, or are tapped (down and up at once, seen by the
// next query only). A key's press counts from the start: a key pressed before anything queries
// it is seen by the first query.
#pragma once

#include <array>
#include <cstdint>

#include "platform/platform.h"

namespace brisel::sim {

class SimKeyboard : public Keyboard {
 public:
  std::int16_t GetAsyncKeyState(std::int32_t vk) override;
  void down(int vk);
  void up(int vk);
  void tap(int vk);

 private:
  struct Key {
    bool down = false;
    bool pressed_since = false;
  };
  std::array<Key, 256> keys_{};
};

}  // namespace brisel::sim
