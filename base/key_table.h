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

// The row whose name is exactly `name`, as the dialog's "Run" matches a selector's text: case
// and blanks count, no trimming, no partial match. nullptr when no row has that name.
const KeyRow* KeyNamed(std::string_view name);

}  // namespace brisel
