#include <gtest/gtest.h>

#include "platform/linux/fltk_controls.h"

namespace brisel::linux_fltk {
namespace {

// A selector's list on a 1366x768 screen: the dialog's first field at (605, 362), 153x21.
constexpr ScreenRect kScreen{0, 0, 1366, 768};
constexpr ScreenRect kField{605, 362, 153, 21};

TEST(DropList, OpensBelowItsFieldAsWideAsItAndEndsOnTheScreen) {
  const ScreenRect tall = PlaceDropList(kField, kScreen, 523, 18);  // 29 rows: more than the room below
  EXPECT_EQ(tall.x, 605);
  EXPECT_EQ(tall.y, 383);
  EXPECT_EQ(tall.w, 153);
  EXPECT_EQ(tall.y + tall.h, 768);
  const ScreenRect short_list = PlaceDropList(kField, kScreen, 100, 18);
  EXPECT_EQ(short_list.y, 383);
  EXPECT_EQ(short_list.h, 100);
  // Below a work area that stops short of the screen (a panel at the bottom).
  EXPECT_EQ(PlaceDropList(kField, {0, 0, 1366, 700}, 523, 18).h, 700 - 383);
}

TEST(DropList, OpensAboveOnlyWhereFewRowsFitBelow) {
  const ScreenRect low{605, 720, 153, 21};  // 27 px below it: one row
  const ScreenRect up = PlaceDropList(low, kScreen, 523, 18);
  EXPECT_EQ(up.y + up.h, 720);
  EXPECT_EQ(up.h, 523);
  const ScreenRect top_of_screen{605, 40, 153, 21};
  EXPECT_EQ(PlaceDropList(top_of_screen, kScreen, 523, 18).y, 61);
  // Near the right edge the list stays on the screen.
  EXPECT_EQ(PlaceDropList({1300, 362, 153, 21}, kScreen, 523, 18).x, 1366 - 153);
}

}  // namespace
}  // namespace brisel::linux_fltk
