#include "platform/key_ledger.h"

#include <algorithm>

namespace brisel {

bool KeyLedger::watch(std::int32_t vk) {
  if (std::any_of(keys_.begin(), keys_.end(), [vk](const Key& k) { return k.vk == vk; })) return false;
  if (keys_.size() == kKeys) keys_.erase(keys_.begin());
  keys_.push_back(Key{vk, {}, 0});
  return true;
}

KeyLedger::Key& KeyLedger::key(std::int32_t vk) {
  watch(vk);  // a key the keyboard did not watch first starts with nothing held
  return *std::find_if(keys_.begin(), keys_.end(), [vk](const Key& k) { return k.vk == vk; });
}

std::int16_t KeyLedger::answer(std::int32_t vk) {
  const auto it = keys_.begin() + (&key(vk) - keys_.data());
  std::rotate(it, it + 1, keys_.end());
  Key& k = keys_.back();
  const bool pressed = k.waiting > 0;
  if (pressed) --k.waiting;  // one press, one answer
  const int state = (k.held.empty() ? 0 : 0x8000) | (pressed ? 1 : 0);
  return static_cast<std::int16_t>(static_cast<std::uint16_t>(state));
}

void KeyLedger::press(std::int32_t vk, int code) {
  Key& k = key(vk);
  const auto held = std::find_if(k.held.begin(), k.held.end(), [code](const Held& h) { return h.code == code; });
  if (held != k.held.end() && held->sure) return;  // auto-repeat: presses without releases
  if (held == k.held.end()) k.held.push_back(Held{code, !unsure_});
  count_press(k);
}

void KeyLedger::hold(std::int32_t vk, int code) { key(vk).held.push_back(Held{code, !unsure_}); }

bool KeyLedger::release(int code) {
  bool any = false;
  for (Key& k : keys_) any = std::erase_if(k.held, [code](const Held& h) { return h.code == code; }) > 0 || any;
  return any;
}

void KeyLedger::press_from_outside(std::int32_t vk) { count_press(key(vk)); }

bool KeyLedger::down(std::int32_t vk) const {
  return std::any_of(keys_.begin(), keys_.end(), [vk](const Key& k) { return k.vk == vk && !k.held.empty(); });
}

bool KeyLedger::any_down() const {
  return std::any_of(keys_.begin(), keys_.end(), [](const Key& k) { return !k.held.empty(); });
}

bool KeyLedger::any_unconfirmed() const {
  return std::any_of(keys_.begin(), keys_.end(), [](const Key& k) {
    return std::any_of(k.held.begin(), k.held.end(), [](const Held& h) { return !h.sure; });
  });
}

void KeyLedger::confirm(const std::function<bool(int code)>& down_now) {
  for (Key& k : keys_) {
    std::erase_if(k.held, [&](const Held& h) { return !down_now(h.code); });
    for (Held& h : k.held) h.sure = true;
  }
}

bool KeyLedger::idle() const {
  return !keys_.empty() &&
         std::all_of(keys_.begin(), keys_.end(), [](const Key& k) { return k.held.empty() && !k.waiting; });
}

}  // namespace brisel
