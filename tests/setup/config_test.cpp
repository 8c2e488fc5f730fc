#include "setup/config.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "harness.h"

namespace brisel {
namespace {

using test::Harness;

TEST(SetupDialog, FadesInToTwoHundredTwentyOverTwentyTwoTicks) {
  Harness h;
  h.program.start();
  EXPECT_TRUE(h.window("Config").visible);
  EXPECT_EQ(h.window("Config").opacity, 0);
  h.wait(210);
  EXPECT_EQ(h.config().Amount, "210");
  h.wait(10);
  EXPECT_EQ(h.config().Amount, "220");
  EXPECT_FALSE(h.config().Timer1.enabled());
  h.wait(1000);
  EXPECT_EQ(h.window("Config").opacity, 220);
  EXPECT_EQ(h.program.loaded_splash(), nullptr);  // no key is watched before "Run"
}

TEST(SetupDialog, RunLooksUpEachNameExactly) {
  struct Case {
    const char* up;
    const char* down;
    const char* mute;
    const char* codes[3];
  };
  const Case cases[] = {
      {"Apple Vol Up", "Apple Vol Down", "Apple Mute", {"175", "174", "173"}},
      {"F1", "Esc", "Help", {"112", "27", "45"}},
      {" +", " _", "F16", {"107", "109", "127"}},
      {"apple vol up", "+", "Apple Mute ", {"175", "174", "173"}},  // nothing matches
      {"Shift", "Shift", "Shift", {"16", "16", "16"}},              // the same key twice is accepted
  };
  for (const Case& c : cases) {
    Harness h;
    h.program.start();
    h.wait(220);
    ConfigForm& config = h.config();
    h.sim.windows.type("Config", "volumeup", c.up);
    h.sim.windows.type("Config", "volumedown", c.down);
    h.sim.windows.type("Config", "volumemute", c.mute);
    h.click_run();
    EXPECT_EQ(config.outcomeup, c.codes[0]) << c.up;
    EXPECT_EQ(config.outcomedown, c.codes[1]) << c.down;
    EXPECT_EQ(config.outcomemute, c.codes[2]) << c.mute;
  }
}

TEST(SetupDialog, TheWindowsReportOnlyControlsTheyHave) {
  Harness h;
  h.program.start();
  const HWND config = h.config().hWnd;
  // A label or a button is no selector, and a name the dialog has not is a backend's fault.
  EXPECT_THROW(h.program.text_changed(config, "Label1", "F1"), std::invalid_argument);
  EXPECT_THROW(h.program.text_changed(config, "Command1", "F1"), std::invalid_argument);
  EXPECT_THROW(h.program.text_changed(config, "volumeUp", "F1"), std::invalid_argument);
  EXPECT_THROW(h.program.click(config, "Run"), std::invalid_argument);  // a caption, not a name
  EXPECT_THROW(h.program.click(0x5555, "Command1"), std::invalid_argument);
  EXPECT_EQ(h.config().volumemute, "Apple Mute");
  h.wait(300);
  h.click_run();
  h.wait(300);
  // The display's buttons have no handlers.
  const std::size_t mark = h.trace.size();
  h.program.click(h.splash().hWnd, "Command2");
  h.wait(100);
  EXPECT_TRUE(h.lines_since(mark).empty());
}

TEST(SetupDialog, FadeOutHandsOverToTheDisplay) {
  Harness h;
  h.program.start();
  h.wait(220);
  h.click_run();
  h.wait(210);
  EXPECT_EQ(h.config().Amount, "10");
  EXPECT_EQ(h.program.loaded_splash(), nullptr);
  const std::size_t mark = h.trace.size();
  h.wait(10);
  // The display reads where the output stands (nothing yet, on this mixer) as it loads.
  EXPECT_EQ(h.lines_since(mark),
            (std::vector<std::string>{"Config opacity 0", "Splash load", "Splash region 0 0 210 205 55 55",
                                      "mixerGetControlDetails 1000 11 0 -> 1", "mixerGetControlDetails 1000 12 0 -> 1",
                                      "Config hidden"}));
  EXPECT_FALSE(h.config().Timer3.enabled());
  EXPECT_TRUE(h.splash().KeyTimer.enabled());
  EXPECT_FALSE(h.window("Splash").visible);
  // Hidden, nobody can click it; its key fields stay readable.
  h.config().Select(Selector::volumeup, "F1");
  h.click_run();
  EXPECT_EQ(h.config().outcomeup, "175");
  EXPECT_FALSE(h.config().Timer3.enabled());
}

TEST(SetupDialog, RunDuringTheFadeInStillHandsOver) {
  for (int after : {0, 70}) {
    Harness h;
    h.program.start();
    h.wait(static_cast<std::uint64_t>(after));
    h.click_run();
    EXPECT_FALSE(h.config().Timer1.enabled());
    h.wait(static_cast<std::uint64_t>(after) + 10);
    EXPECT_EQ(h.config().Amount, "0") << after;
    EXPECT_NE(h.program.loaded_splash(), nullptr) << after;
    EXPECT_FALSE(h.window("Config").visible);
    EXPECT_EQ(h.sim.msgbox.shown(), 0);
  }
}

TEST(SetupDialog, SecondRunDuringTheFadeOutTakesTheNewNames) {
  Harness h;
  h.program.start();
  h.wait(220);
  h.click_run();
  h.wait(100);
  h.config().Select(Selector::volumemute, "Del");
  h.click_run();
  EXPECT_EQ(h.config().outcomemute, "46");
  h.wait(120);
  EXPECT_NE(h.program.loaded_splash(), nullptr);
  EXPECT_EQ(h.config().Amount, "0");
}

}  // namespace
}  // namespace brisel
