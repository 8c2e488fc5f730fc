// Which X keysyms stand for each Windows virtual-key code that a hot key can have.
#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace brisel::linux_x11 {

using KeySymbol = unsigned long;  // an X KeySym

struct KeyTranslation {
  std::int32_t vk;
  std::array<KeySymbol, 2> keysyms;  // 0 where a key has only one
};

std::span<const KeyTranslation> KeyTranslations();

// The keysyms of a virtual-key code; empty for a code no row names.
std::span<const KeySymbol> KeysymsOf(std::int32_t vk);

}  // namespace brisel::linux_x11
