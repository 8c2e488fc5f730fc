#include "app/command_line.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "harness.h"

namespace brisel {
namespace {

ParsedCommandLine Parse(std::vector<std::string_view> args) { return ParseCommandLine(args); }

TEST(CommandLine, KeepsKeyNamesExactlyAndTheLastOfARepeatedOption) {
  const ParsedCommandLine p =
      Parse({"--up", " +", "--down", "Apple Vol Down", "--mute", "F1", "--mute", "Esc", "--run", "--trace", "t.log"});
  ASSERT_EQ(p.error, "");
  EXPECT_EQ(p.options.up, " +");
  EXPECT_EQ(p.options.down, "Apple Vol Down");
  EXPECT_EQ(p.options.mute, "Esc");
  EXPECT_TRUE(p.options.run);
  EXPECT_EQ(p.options.trace, "t.log");
  EXPECT_FALSE(p.options.quit || p.options.autostart);
  EXPECT_EQ(Parse({"--up", "--run"}).options.up, "--run");  // a value is taken as it is
  EXPECT_EQ(Parse({"--autostart", "off", "--up", "F5"}).options.autostart, false);
  EXPECT_EQ(Parse({"--autostart", "on", "--run"}).options.autostart, true);
  EXPECT_EQ(Parse({"--quit", "--help"}).error, "");  // --help wins
  EXPECT_EQ(Parse({"--key", "up"}).options.key, HotKey::up);
  EXPECT_EQ(Parse({"--key", "mute", "--key", "down"}).options.key, HotKey::down);
}

TEST(CommandLine, RefusesWhatItCannotDoWithOneLineNamingTheOption) {
  const std::pair<std::vector<std::string_view>, std::string> cases[] = {
      {{"--frobnicate"}, "unknown option '--frobnicate'"},
      {{"--up"}, "option '--up' needs NAME"},
      {{"--autostart"}, "option '--autostart' needs on|off"},
      {{"--autostart", "yes"}, "option '--autostart' takes on|off, not 'yes'"},
      {{"--quit", "--run"}, "option '--quit' takes no other options"},
      {{"--mute", "F1", "--quit"}, "option '--quit' takes no other options"},
      {{"--autostart", "on", "--trace", "t"}, "option '--autostart' cannot be combined with '--trace'"},
      // Only the three hot keys can be pressed from outside, each by its exact name.
      {{"--key"}, "option '--key' needs up|down|mute"},
      {{"--key", "Up"}, "option '--key' takes up|down|mute, not 'Up'"},
      {{"--key", "quit"}, "option '--key' takes up|down|mute, not 'quit'"},
      {{"--key", "up", "--run"}, "option '--key' takes no other options"},
      {{"--up", "F5", "--key", "up"}, "option '--key' takes no other options"},
      {{"--key", "up", "--quit"}, "option '--quit' takes no other options"},
  };
  for (const auto& [args, error] : cases) EXPECT_EQ(Parse(args).error, error) << args[0];
}

// The names reach the dialog the way typing does: through the windows, into the program's input.
struct Started : test::Harness {
  void start(const Options& options) {
    StartProgram(program, options);
  }
  bool traced(const std::string& line) const {
    const auto lines = lines_since(0);
    return std::find(lines.begin(), lines.end(), line) != lines.end();
  }
};

TEST(StartProgram, RunHandsOverAtOnceWithoutShowingTheDialog) {
  Started s;
  Options o;
  o.run = true;
  o.up = "F5";
  o.mute = "apple mute";  // matches no name: the key stays as it was
  s.start(o);
  EXPECT_TRUE(s.config().Timer3.enabled());
  EXPECT_FALSE(s.config().Timer1.enabled());
  s.wait(10);  // the fade-out starts at 0 and ends on its first tick
  ASSERT_NE(s.program.loaded_splash(), nullptr);
  EXPECT_FALSE(s.config().Timer3.enabled());
  EXPECT_EQ(s.config().outcomeup, "116");
  EXPECT_EQ(s.config().outcomedown, "174");
  EXPECT_EQ(s.config().outcomemute, "173");
  EXPECT_FALSE(s.traced("Config shown"));
  EXPECT_FALSE(s.window("Config").visible);
  EXPECT_EQ(s.window("Config").opacity, 0);
  s.tap(116);
  EXPECT_EQ(s.splash().VolCount, "1");
  EXPECT_TRUE(s.splash().FadeIn.enabled());  // the display fades in for the press
}

TEST(StartProgram, NamesWithoutRunWaitInTheShownDialogForRun) {
  Started s;
  Options o;
  o.down = " _";
  o.mute = "Help";
  s.start(o);
  EXPECT_TRUE(s.window("Config").visible);
  EXPECT_EQ(s.config().volumeup, "Apple Vol Up");
  EXPECT_EQ(s.config().volumedown, " _");
  EXPECT_EQ(s.config().outcomedown, "174");  // looked up only by "Run"
  s.wait(300);
  s.click_run();
  s.wait(300);
  EXPECT_EQ(s.config().outcomeup, "175");
  EXPECT_EQ(s.config().outcomedown, "109");
  EXPECT_EQ(s.config().outcomemute, "45");
  EXPECT_FALSE(s.window("Config").visible);
}

}  // namespace
}  // namespace brisel
