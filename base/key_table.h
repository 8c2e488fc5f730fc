// The keys the user can choose in the setup dialog: a name as the selectors list it and the
// Windows virtual-key code, as decimal text, that "Run" stores for it.
#pragma once

#include <span>
#include <string_view>

namespace brisel {

struct KeyRow {
  std::string_view name;  // compared exactly: the keypad names start with a blank
  std::string_view code;
};

std::span<const KeyRow> KeyTable();

}  // namespace brisel
