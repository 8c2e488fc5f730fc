#include "base/hot_key.h"

#include <gtest/gtest.h>

#include "harness.h"

namespace brisel {
namespace {

// Only the three hot keys, each by its exact name, reach the running program from outside.
TEST(HotKey, NamesAndMessagesGoBothWaysAndNothingElseNamesAKey) {
  for (HotKey key : {HotKey::up, HotKey::down, HotKey::mute}) {
    EXPECT_EQ(HotKeyNamed(HotKeyName(key)), key);
    EXPECT_EQ(HotKeyInMessage(HotKeyMessage(key)), key);
  }
  EXPECT_EQ(HotKeyMessage(HotKey::mute), "key mute");
  for (std::string_view name : {"", "Up", "up ", "volumeup", "quit", "mute\n"}) EXPECT_EQ(HotKeyNamed(name), std::nullopt);
  for (std::string_view message : {"", "quit", "key", "key ", "keyup", "key Up", "key up ", "key  up", "Key up", "up"})
    EXPECT_EQ(HotKeyInMessage(message), std::nullopt) << message;
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
