#include "base/key_table.h"

#include <array>

namespace brisel {

namespace {
constexpr std::array<KeyRow, 29> kKeys = {{
    {"F1", "112"},  {"F2", "113"},  {"F3", "114"},  {"F4", "115"},  {"F5", "116"},  {"F6", "117"},
    {"F7", "118"},  {"F8", "119"},  {"F9", "120"},  {"F10", "121"}, {"F11", "122"}, {"F12", "123"},
    {"F13", "124"}, {"F14", "125"}, {"F15", "126"}, {"F16", "127"},
    {" +", "107"},  // keypad plus
    {" _", "109"},  // keypad minus: a blank and an underscore
    {" *", "106"},  // keypad multiply
    {" /", "111"},  // keypad divide
    {"Apple Vol Up", "175"},
    {"Apple Vol Down", "174"},
    {"Apple Mute", "173"},
    {"Del", "46"},
    {"Help", "45"},  // the Insert key
    {"Alt", "18"},
    {"Ctrl", "17"},
    {"Shift", "16"},
    {"Esc", "27"},
}};
}  // namespace

std::span<const KeyRow> KeyTable() { return kKeys; }

const KeyRow* KeyNamed(std::string_view name) {
  for (const KeyRow& row : kKeys)
    if (name == row.name) return &row;
  return nullptr;
}

}  // namespace brisel
