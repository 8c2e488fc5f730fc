// The setup dialog's choices and its hand-over (tests/scenarios/startup_and_handover and
// run_during_fade_in pin the fades and the hand-over's calls; command_line_test.cpp a "Run"
// before the fade-in's first step, as --run clicks it).
#include "setup/config.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "harness.h"

namespace brisel {
namespace {

using test::Harness;

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
    h.sim.windows.type("Config", "volumeup", c.up);
    h.sim.windows.type("Config", "volumedown", c.down);
    h.sim.windows.type("Config", "volumemute", c.mute);
    h.click_run();
    EXPECT_EQ(h.config().outcomeup, c.codes[0]) << c.up;
    EXPECT_EQ(h.config().outcomedown, c.codes[1]) << c.down;
    EXPECT_EQ(h.config().outcomemute, c.codes[2]) << c.mute;
  }
}

// A label or a button is no selector, and a name the dialog has not is a backend's fault; the
// display's buttons have no handlers.
TEST(SetupDialog, TheWindowsReportOnlyControlsTheyHave) {
  Harness h;
  h.program.start();
  const HWND config = h.config().hWnd;
  EXPECT_THROW(h.program.text_changed(config, "Label1", "F1"), std::invalid_argument);
  EXPECT_THROW(h.program.text_changed(config, "Command1", "F1"), std::invalid_argument);
  EXPECT_THROW(h.program.text_changed(config, "volumeUp", "F1"), std::invalid_argument);
  EXPECT_THROW(h.program.click(config, "Run"), std::invalid_argument);  // a caption, not a name
  EXPECT_THROW(h.program.click(0x5555, "Command1"), std::invalid_argument);
  EXPECT_EQ(h.config().volumemute, "Apple Mute");
  h.wait(300);
  h.click_run();
  h.wait(300);
  const std::size_t mark = h.trace.size();
  h.program.click(h.splash().hWnd, "Command2");
  h.wait(100);
  EXPECT_TRUE(h.lines_since(mark).empty());
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
