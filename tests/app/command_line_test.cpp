#include "app/command_line.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iomanip>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "base/key_table.h"
#include "harness.h"
#include "platform/program_start.h"

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

TEST(CommandLine, HelpListsExactlyTheOptionsThatSystemParses) {
  std::set<std::string> everywhere;  // every option some system lists
  for (const System system : kSystems)
    for (const auto& [name, value] : Listed(Usage(system, "brisel"))) everywhere.insert(name);
  for (const System system : kSystems) {
    const auto listed = Listed(Usage(system, "brisel"));
    std::set<std::string> names;
    for (const auto& [name, value] : listed) {
      names.insert(name);
      std::vector<std::string_view> args{name};
      if (!value.empty()) args.push_back(value);
      EXPECT_EQ(Parse(args, system).error, "") << name;
    }
    for (const std::string& name : everywhere)
      if (!names.count(name)) {
        EXPECT_EQ(Parse({name}, system).error, "unknown option '" + name + "'");
      }
  }
  // Both systems offer the same options; only the Linux program's help says more (Wayland).
  EXPECT_EQ(Listed(Usage(System::Linux, "brisel")), Listed(Usage(System::Windows, "brisel")));
  EXPECT_EQ(Usage(System::Windows, "brisel").find("Wayland"), std::string::npos);
}

// What a program prints and returns for its command line, before it connects to anything.
struct Begun {
  std::optional<int> status;
  std::string out, err;
};
Begun Begin(System system, std::vector<std::string> args) {
  args.insert(args.begin(), "brisel");
  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(arg.data());
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  const ProgramStart start = BeginProgram(static_cast<int>(argv.size()), argv.data(), system, "\nMORE\n");
  Begun begun{start.exit_status, testing::internal::GetCapturedStdout(), testing::internal::GetCapturedStderr()};
  return begun;
}

TEST(ProgramStart, AUsageErrorIsOneLineNamingItAndWhereToFindTheUsage) {
  const std::pair<System, std::vector<std::string>> cases[] = {
      {System::Linux, {"--bogus"}},
      {System::Windows, {"--bogus"}},
      {System::Windows, {"--quit", "--run"}},
      {System::Linux, {"--run", "--up"}},
  };
  const std::string errors[] = {"unknown option '--bogus'", "unknown option '--bogus'", "option '--quit' takes no other options",
                                "option '--up' needs NAME"};
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    const Begun b = Begin(cases[i].first, cases[i].second);
    EXPECT_EQ(b.status, 2);
    EXPECT_EQ(b.out, "");
    EXPECT_EQ(b.err, "brisel: " + errors[i] + "\nTry 'brisel --help' for more information.\n");
  }
}

TEST(ProgramStart, HelpPrintsTheOptionsAndTheSystemsOwnText) {
  for (const System system : kSystems) {
    const Begun b = Begin(system, {"--help"});
    EXPECT_EQ(b.status, 0);
    EXPECT_EQ(b.err, "");
    EXPECT_EQ(b.out, Usage(system, "brisel") + "\nMORE\n" + KeyNamesHelp());
  }
}

TEST(ProgramStart, HelpEndsWithExactlyTheKeyTablesNamesAFewALine) {
  const std::string help = Begin(System::Windows, {"--help"}).out;
  std::istringstream lines(help.substr(help.find('\n', help.find("\nKey names") + 1) + 1));  // after the heading
  std::vector<std::string> names;
  for (std::string line; std::getline(lines, line);) {
    EXPECT_LE(line.size(), 78u) << line;
    std::istringstream words(line);  // a name with a blank is read whole only in its quotes
    for (std::string name; words >> std::quoted(name);) names.push_back(name);
  }
  std::vector<std::string> table;
  for (const KeyRow& row : KeyTable()) table.emplace_back(row.name);
  EXPECT_EQ(names, table);
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

// A name that matches no key: one line naming it and the key that stays, exactly where "Run"
// keeps the key (the same match); with --autostart on it refuses the entry instead.
TEST(StartProgram, ANameThatMatchesNoKeyIsSaidAndTheDialogKeepsItsKey) {
  std::vector<std::string> lines;
  const auto say = [&](Severity, const std::string& line) { lines.push_back(line); };
  for (const std::string name : {"Nonsense", "apple vol up", "+", " +", "F1 ", "Help", "F1\nx"}) {
    Options o;
    o.run = true;
    o.up = name;
    lines.clear();
    EXPECT_EQ(CheckKeyNames(o, say), std::nullopt);
    Started s;
    s.start(o);
    s.wait(10);
    EXPECT_EQ(lines.size(), s.config().outcomeup == "175" ? 1u : 0u) << name;
  }
  EXPECT_EQ(lines, std::vector<std::string>{
                       "brisel: --up F1?x: no key has that name; the key stays \"Apple Vol Up\" (the names: brisel --help)"});
  Options o;
  o.down = "F99";
  o.mute = "Mute";
  lines.clear();
  EXPECT_EQ(CheckKeyNames(o, say), std::nullopt);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_NE(lines[1].find("--mute Mute: no key has that name; the key stays \"Apple Mute\""), std::string::npos);
  lines.clear();
  o.autostart = true;
  EXPECT_EQ(CheckKeyNames(o, say), 2);
  o.autostart = false;  // --autostart off uses no name
  EXPECT_EQ(CheckKeyNames(o, say), std::nullopt);
  EXPECT_EQ(lines, std::vector<std::string>{
                       "brisel: --down F99: no key has that name; the login entry is left as it was (the names: brisel --help)"});
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
