#include "app/command_line.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "harness.h"

namespace brisel {
namespace {

ParsedCommandLine Parse(std::vector<std::string_view> args, System system = System::Linux) {
  return ParseCommandLine(system, args);
}

// The options a --help text lists, each with a value it takes ("" for none): the first of
// the choices a|b|c, or the value's name itself (NAME, FILE).
std::vector<std::pair<std::string, std::string>> Listed(const std::string& usage) {
  std::vector<std::pair<std::string, std::string>> out;
  std::istringstream lines(usage);
  std::string line;
  while (std::getline(lines, line)) {
    if (line.rfind("  --", 0) != 0) continue;
    std::istringstream words(line.substr(0, line.find("  ", 2)));
    std::string name, value;
    words >> name >> value;
    out.emplace_back(name, value.substr(0, value.find('|')));
  }
  return out;
}

constexpr System kSystems[] = {System::Linux, System::Windows};

// Every option --help lists parses, with the first of its values; both systems list the same
// options, only the Linux program's help says more (Wayland); the key names fit a terminal.
TEST(CommandLine, HelpListsOptionsThatParse) {
  for (const System system : kSystems)
    for (const auto& [name, value] : Listed(Usage(system, "brisel"))) {
      std::vector<std::string_view> args{name};
      if (!value.empty()) args.push_back(value);
      EXPECT_EQ(Parse(args, system).error, "") << name;
    }
  EXPECT_EQ(Listed(Usage(System::Linux, "brisel")), Listed(Usage(System::Windows, "brisel")));
  EXPECT_EQ(Usage(System::Windows, "brisel").find("Wayland"), std::string::npos);
  std::istringstream names(KeyNamesHelp().substr(KeyNamesHelp().find(":\n") + 2));  // after the heading
  for (std::string line; std::getline(names, line);) EXPECT_LE(line.size(), 78u) << line;
}

TEST(CommandLine, KeepsKeyNamesExactlyAndTheLastOfARepeatedOption) {
  const ParsedCommandLine p =
      Parse({"--up", " +", "--down", "Apple Vol Down", "--mute", "F1", "--mute", "Esc", "--run", "--trace", "t.log"});
  ASSERT_EQ(p.error, "");
  EXPECT_EQ(p.options.up, " +");
  EXPECT_EQ(p.options.down, "Apple Vol Down");
  EXPECT_EQ(p.options.mute, "Esc");
  EXPECT_TRUE(p.options.run);
  EXPECT_EQ(p.options.trace, "t.log");
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

// --run with a name that matches no key: one line naming it and the key that stays, exactly where
// "Run" keeps the key (the same match), and the hand-over on the first tick, the dialog never
// shown. With --autostart on it refuses the entry instead. (The names typed into the dialog with
// and without --run: desktop_test.sh, key_test.sh and their Windows counterparts.)
TEST(StartProgram, ANameThatMatchesNoKeyIsSaidAndTheDialogKeepsItsKey) {
  std::vector<std::string> lines;
  const auto say = [&](Severity, const std::string& line) { lines.push_back(line); };
  for (const std::string name : {"Nonsense", "apple vol up", "+", " +", "F1 ", "Help", "F1\nx"}) {
    Options o;
    o.run = true;
    o.up = name;
    lines.clear();
    EXPECT_EQ(CheckKeyNames(o, say), std::nullopt);
    test::Harness h;
    StartProgram(h.program, o);
    h.wait(10);
    EXPECT_EQ(lines.size(), h.config().outcomeup == "175" ? 1u : 0u) << name;
    ASSERT_NE(h.program.loaded_splash(), nullptr) << name;
    const auto traced = h.lines_since(0);
    EXPECT_EQ(std::count(traced.begin(), traced.end(), "Config shown"), 0);
    EXPECT_EQ(h.sim.msgbox.shown(), 0);
  }
  EXPECT_EQ(lines, std::vector<std::string>{
                       "brisel: --up F1?x: no key has that name; the key stays \"Apple Vol Up\" (the names: brisel --help)"});
  Options o;
  o.down = "F99";
  lines.clear();
  o.autostart = false;  // --autostart off uses no name
  EXPECT_EQ(CheckKeyNames(o, say), std::nullopt);
  o.autostart = true;  // on: refused, the entry left as it was
  EXPECT_EQ(CheckKeyNames(o, say), 2);
  EXPECT_EQ(lines, std::vector<std::string>{
                       "brisel: --down F99: no key has that name; the login entry is left as it was (the names: brisel --help)"});
}

}  // namespace
}  // namespace brisel
