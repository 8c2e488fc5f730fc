#include "platform/linux/autostart.h"

#include <gtest/gtest.h>

#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace brisel {
namespace {

// What a launcher makes of an Exec value: the value's own escapes first, then the arguments,
// quoted ones with their backslash escapes; "%%" is a percent sign.
std::vector<std::string> LauncherArgs(const std::string& value) {
  std::string line;
  for (std::size_t i = 0; i < value.size(); ++i) line += value[i] == '\\' ? value[++i] : value[i];
  std::vector<std::string> args;
  std::string arg;
  bool quoted = false, any = false;
  for (std::size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (quoted && c == '\\') {
      arg += line[++i];
    } else if (c == '"') {
      quoted = !quoted;
      any = true;
    } else if (c == ' ' && !quoted) {
      if (any) args.push_back(arg);
      arg.clear();
      any = false;
    } else {
      arg += c;
      any = true;
      if (c == '%') ++i;
    }
  }
  if (any) args.push_back(arg);
  return args;
}

TEST(Autostart, ExecArgumentsQuoteWhatTheFormatReserves) {
  EXPECT_EQ(ExecArgument("F5"), "F5");
  EXPECT_EQ(ExecArgument(" +"), "\" +\"");
  EXPECT_EQ(ExecArgument("Apple Vol Down"), "\"Apple Vol Down\"");
  EXPECT_EQ(ExecArgument(" *"), "\" *\"");
  EXPECT_EQ(ExecArgument(""), "\"\"");
  EXPECT_EQ(ExecArgument("a\"b"), "\"a\\\\\"b\"");  // \" inside the quotes, its backslash doubled
  EXPECT_EQ(ExecArgument("100%"), "100%%");
  // Whatever the name, a launcher gets it back as one argument.
  for (const std::string name : {" _", " /", "$HOME", "a\\b", "`x`", "it's", "x > y; z", "50% \"off\"", "~", "#1"})
    EXPECT_EQ(LauncherArgs(ExecArgument(name)), std::vector<std::string>{name}) << name;
}

// The program's path quoted like the names (desktop_test.sh validates a whole entry).
TEST(Autostart, EntryStartsBriselRunWithTheKeysGiven) {
  Options o;
  o.up = " +";
  o.mute = "Esc";
  const std::string entry = AutostartEntry("/opt/my tools/brisel", o);
  const std::size_t exec = entry.find("\nExec=") + 6;
  EXPECT_EQ(LauncherArgs(entry.substr(exec, entry.find('\n', exec) - exec)),
            (std::vector<std::string>{"/opt/my tools/brisel", "--run", "--up", " +", "--mute", "Esc"}));
  o.down = "F1\nExec=evil";  // a line of its own in the entry: refused
  EXPECT_EQ(AutostartEntry("brisel", o), "");
}

// XDG_CONFIG_HOME when it is an absolute path, else ~/.config; none without an absolute home.
// (desktop_test.sh writes and removes the entry, and says what it did.)
TEST(Autostart, LivesInTheUsersConfigFolderAndReplacesTheEntry) {
  const std::filesystem::path home_entry("/home/u/.config/autostart/brisel.desktop");
  EXPECT_EQ(AutostartPath("/x/cfg", "/home/u"), std::filesystem::path("/x/cfg/autostart/brisel.desktop"));
  for (const char* config : {static_cast<const char*>(nullptr), "", "cfg"})
    EXPECT_EQ(AutostartPath(config, "/home/u"), home_entry);
  EXPECT_EQ(AutostartPath(nullptr, nullptr), std::nullopt);
  EXPECT_EQ(AutostartPath("relative", "also/relative"), std::nullopt);

  const auto dir = std::filesystem::temp_directory_path() / ("brisel-autostart-" + std::to_string(std::random_device()()));
  std::filesystem::remove_all(dir);
  const auto path = dir / "autostart" / "brisel.desktop";
  std::string error;
  EXPECT_EQ(SetAutostart(path, true, "one\n", error), "autostart on: " + path.string() + " starts brisel --run at login");
  EXPECT_NE(SetAutostart(path, true, "two\n", error), "");
  std::ifstream in(path);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "two\n");  // replaced, not appended
  EXPECT_EQ(SetAutostart(path, false, "", error), "autostart off: removed " + path.string());
  EXPECT_EQ(error, "");
  // A folder that cannot be made: an error, and nothing claimed.
  std::ofstream(dir / "file") << "x";
  EXPECT_EQ(SetAutostart(dir / "file" / "autostart" / "brisel.desktop", true, "x", error), "");
  EXPECT_NE(error.find("cannot create"), std::string::npos) << error;
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace brisel
