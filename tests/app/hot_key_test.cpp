#include "app/hot_key.h"

#include <gtest/gtest.h>

#include "harness.h"

namespace brisel {
namespace {

TEST(HotKey, NamesGoBothWaysAndNothingElseNamesAKey) {
  for (HotKey key : {HotKey::up, HotKey::down, HotKey::mute}) EXPECT_EQ(HotKeyNamed(HotKeyName(key)), key);
  for (std::string_view name : {"", "Up", "up ", "volumeup", "quit", "mute\n"}) EXPECT_EQ(HotKeyNamed(name), std::nullopt);
}

// A press from outside is turned into the code the key timer watches: the one "Run" stored.
TEST(HotKey, CodesAreTheKeysRunStoredAndNoneBeforeRun) {
  test::Harness h;
  h.program.start();
  EXPECT_EQ(h.program.hot_key_code(HotKey::up), std::nullopt);  // the dialog is up, nothing is watched
  h.wait(300);
  h.sim.windows.type("Config", "volumeup", "F5");
  h.sim.windows.type("Config", "volumemute", " +");
  EXPECT_EQ(h.program.hot_key_code(HotKey::up), std::nullopt);
  h.click_run();
  h.wait(300);
  EXPECT_EQ(h.program.hot_key_code(HotKey::up), 116);
  EXPECT_EQ(h.program.hot_key_code(HotKey::down), test::kDown);
  EXPECT_EQ(h.program.hot_key_code(HotKey::mute), 107);
  // The code it gives is the one the key timer answers to.
  h.tap(*h.program.hot_key_code(HotKey::up));
  EXPECT_EQ(h.splash().VolCount, "1");
}

}  // namespace
}  // namespace brisel
