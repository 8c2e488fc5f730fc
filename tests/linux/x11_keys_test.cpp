#include <gtest/gtest.h>

#include "platform/linux/x11_keys.h"
#include "base/key_table.h"
#include "base/text_numbers.h"

namespace brisel::linux_x11 {
namespace {

// A key added to the dialog's table without a keysym here would silently do nothing.
TEST(X11Keys, EveryKeyTheDialogOffersHasAKeysym) {
  for (const KeyRow& row : KeyTable()) {
    const auto syms = KeysymsOf(ToInt32(row.code));
    EXPECT_FALSE(syms.empty()) << row.name;
    for (KeySymbol s : syms) EXPECT_NE(s, 0u) << row.name;
  }
  EXPECT_EQ(KeysymsOf(18).size(), 2u);  // Alt: left and right
  EXPECT_TRUE(KeysymsOf(65).empty());   // "A" is no hot key
}

}  // namespace
}  // namespace brisel::linux_x11
