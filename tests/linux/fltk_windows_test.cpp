// GoogleTest comes first: the X headers under FLTK define macros that clash with it.
#include <gtest/gtest.h>

#include <FL/Fl_Input_Choice.H>
#include <FL/Fl_Menu_Button.H>

#include "platform/linux/fltk_windows.h"

#include <string>
#include <vector>

#include "setup/key_table.h"

namespace brisel::linux_fltk {
namespace {

TEST(FltkWindows, SelectorsListEveryKeyNameAsItIs) {
  Fl_Input_Choice choice(0, 0, 150, 20);
  for (const KeyRow& row : KeyTable()) choice.add(MenuLabel(row.name).c_str());
  std::vector<std::string> items;
  const Fl_Menu_Item* menu = choice.menubutton()->menu();
  for (int i = 0; menu[i].text; ++i) {
    EXPECT_FALSE(menu[i].flags & (FL_SUBMENU | FL_MENU_DIVIDER)) << menu[i].text;
    items.emplace_back(menu[i].text);
  }
  ASSERT_EQ(items.size(), KeyTable().size());
  for (std::size_t i = 0; i < items.size(); ++i) EXPECT_EQ(items[i], KeyTable()[i].name);
  EXPECT_EQ(MenuLabel("_a&b/c"), "\\_a\\&b\\/c");
}

}  // namespace
}  // namespace brisel::linux_fltk
