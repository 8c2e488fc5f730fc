// What the program decides for every platform: the close of a window, and the messages of
// another brisel.
#include "app/program.h"

#include <gtest/gtest.h>

#include <vector>

#include "base/hot_key.h"
#include "harness.h"
#include "platform/instance_message.h"

namespace brisel {
namespace {

TEST(ProgramClose, TheDialogClosedBeforeRunEndsTheProgramWithStatus0) {
  test::Harness h;
  h.program.start();
  h.wait(100);  // while the dialog fades in
  EXPECT_EQ(h.program.exit_status(), std::nullopt);
  const std::size_t before = h.trace.size();
  h.sim.windows.close("Config");
  EXPECT_EQ(h.program.exit_status(), 0);
  // Decided, not done: the platform's loop ends the program, the behaviour writes nothing.
  EXPECT_EQ(h.trace.size(), before);
  h.program.end(1);  // the first end is the one that counts
  EXPECT_EQ(h.program.exit_status(), 0);
}

TEST(ProgramClose, AfterRunACloseChangesNothing) {
  {
    test::Harness h;  // --run, as StartProgram does it: before the dialog is shown
    h.program.start();
    h.program.click(h.config().hWnd, "Command1");
    h.program.close(h.config().hWnd);
    EXPECT_EQ(h.program.exit_status(), std::nullopt);
  }
  test::Harness h;
  h.program.start();
  h.wait(300);
  h.click_run();
  h.wait(50);  // the dialog is still fading out, and still shown
  ASSERT_TRUE(h.window("Config").visible);
  h.sim.windows.close("Config");
  EXPECT_EQ(h.program.exit_status(), std::nullopt);
  h.wait(250);
  EXPECT_FALSE(h.window("Config").visible);
  h.tap(test::kUp);  // the display works as ever
  EXPECT_EQ(h.splash().VolCount, "1");
  h.wait(100);
  ASSERT_TRUE(h.window("Splash").visible);
  h.sim.windows.close("Splash");
  EXPECT_EQ(h.program.exit_status(), std::nullopt);
}

// "quit" ends the program; "key NAME", as brisel --key sends it, is a press of the key "Run"
// stored (none before "Run"); any other text, in any other case or spacing, is nothing.
TEST(InstanceMessage, QuitEndsTheProgramAndAHotKeyIsAPressOfTheKeyRunStored) {
  test::Harness h;
  std::vector<std::int32_t> presses;
  const auto press = [&](std::int32_t vk) { presses.push_back(vk); };
  h.program.start();
  h.wait(300);
  h.sim.windows.type("Config", "volumedown", "F6");
  ReceiveInstanceMessage(h.program, "key up", press);
  EXPECT_TRUE(presses.empty());
  h.click_run();
  h.wait(300);
  for (const std::string name : {"up", "down", "mute"}) {
    const HotKey key = HotKeyNamed(name).value();  // none throws, and fails the test
    EXPECT_EQ(HotKeyName(key), name);
    EXPECT_EQ(HotKeyMessage(key), "key " + name);
    ReceiveInstanceMessage(h.program, "key " + name, press);
  }
  for (std::string_view other :
       {"", "key", "key ", "keyup", "key Up", "key up ", "key  up", "Key up", "up", "Quit", "quit "})
    ReceiveInstanceMessage(h.program, other, press);
  EXPECT_EQ(presses, (std::vector<std::int32_t>{test::kUp, 117, test::kMute}));
  EXPECT_EQ(h.program.exit_status(), std::nullopt);
  ReceiveInstanceMessage(h.program, "quit", press);
  EXPECT_EQ(h.program.exit_status(), 0);
}

}  // namespace
}  // namespace brisel
