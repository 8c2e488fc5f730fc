// The hot keys' state from GetAsyncKeyState. Only the three watched keys are ever asked for.
#pragma once

#include "platform/platform.h"

namespace brisel::win32 {

class Win32Keyboard : public Keyboard {
 public:
  std::int16_t GetAsyncKeyState(std::int32_t vk) override;
};

}  // namespace brisel::win32
