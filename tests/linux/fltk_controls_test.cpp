// Where a selector's list opens, on a 1366x768 screen, for the dialog's first field at
// (605, 362), 153x21 (dialog_test.sh opens a list below its field on such a screen).
#include <gtest/gtest.h>

#include "platform/linux/fltk_controls.h"

namespace brisel::linux_fltk {
namespace {

constexpr ScreenRect kScreen{0, 0, 1366, 768};
constexpr ScreenRect kField{605, 362, 153, 21};

TEST(DropList, OpensBelowItsFieldEndsOnTheWorkAreaAndAboveOnlyWhereFewRowsFitBelow) {
  const ScreenRect tall = PlaceDropList(kField, kScreen, 523, 18);  // 29 rows: more than the room below
  EXPECT_EQ(tall.y, 383);
  EXPECT_EQ(tall.y + tall.h, 768);
  EXPECT_EQ(PlaceDropList(kField, kScreen, 100, 18).h, 100);
  // Below a work area that stops short of the screen (a panel at the bottom).
  EXPECT_EQ(PlaceDropList(kField, {0, 0, 1366, 700}, 523, 18).h, 700 - 383);
  const ScreenRect low{605, 720, 153, 21};  // 27 px below it: one row
  const ScreenRect up = PlaceDropList(low, kScreen, 523, 18);
  EXPECT_EQ(up.y + up.h, 720);
  EXPECT_EQ(up.h, 523);
  EXPECT_EQ(PlaceDropList({605, 40, 153, 21}, kScreen, 523, 18).y, 61);  // near the top: below
  // Near the right edge the list stays on the screen.
  EXPECT_EQ(PlaceDropList({1300, 362, 153, 21}, kScreen, 523, 18).x, 1366 - 153);
}

}  // namespace
}  // namespace brisel::linux_fltk
