#include "platform/linux/x11_keys.h"

#include <X11/XF86keysym.h>
#include <X11/keysym.h>

#include <algorithm>

namespace brisel::linux_x11 {

namespace {
constexpr KeyTranslation kKeys[] = {
    {112, {XK_F1}},  {113, {XK_F2}},  {114, {XK_F3}},  {115, {XK_F4}},  {116, {XK_F5}},  {117, {XK_F6}},
    {118, {XK_F7}},  {119, {XK_F8}},  {120, {XK_F9}},  {121, {XK_F10}}, {122, {XK_F11}}, {123, {XK_F12}},
    {124, {XK_F13}}, {125, {XK_F14}}, {126, {XK_F15}}, {127, {XK_F16}},
    {107, {XK_KP_Add}},
    {109, {XK_KP_Subtract}},
    {106, {XK_KP_Multiply}},
    {111, {XK_KP_Divide}},
    {175, {XF86XK_AudioRaiseVolume}},
    {174, {XF86XK_AudioLowerVolume}},
    {173, {XF86XK_AudioMute}},
    {46, {XK_Delete}},
    {45, {XK_Insert}},
    {18, {XK_Alt_L, XK_Alt_R}},
    {17, {XK_Control_L, XK_Control_R}},
    {16, {XK_Shift_L, XK_Shift_R}},
    {27, {XK_Escape}},
};
}  // namespace

std::span<const KeyTranslation> KeyTranslations() { return kKeys; }

std::span<const KeySymbol> KeysymsOf(std::int32_t vk) {
  for (const KeyTranslation& row : kKeys)
    if (row.vk == vk) {
      const auto count = static_cast<std::size_t>(std::count_if(row.keysyms.begin(), row.keysyms.end(),
                                                                [](KeySymbol s) { return s != 0; }));
      return {row.keysyms.data(), count};
    }
  return {};
}

}  // namespace brisel::linux_x11
