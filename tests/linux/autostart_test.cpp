#include "platform/linux/autostart.h"

#include <gtest/gtest.h>

#include <fstream>
#include <random>
#include <sstream>
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

TEST(Autostart, EntryStartsBriselRunWithTheKeysGiven) {
  Options o;
  o.up = " +";
  o.mute = "Esc";
  const std::string entry = AutostartEntry("/opt/my tools/brisel", o);
  std::istringstream lines(entry);
  std::string line, exec;
  std::getline(lines, line);
  EXPECT_EQ(line, "[Desktop Entry]");
  while (std::getline(lines, line))
    if (line.rfind("Exec=", 0) == 0) exec = line.substr(5);
  EXPECT_EQ(exec, "\"/opt/my tools/brisel\" --run --up \" +\" --mute Esc");
  EXPECT_EQ(LauncherArgs(exec),
            (std::vector<std::string>{"/opt/my tools/brisel", "--run", "--up", " +", "--mute", "Esc"}));
  EXPECT_NE(entry.find("\nType=Application\n"), std::string::npos);
  o.down = "F1\nExec=evil";  // a line of its own in the entry: refused
  EXPECT_EQ(AutostartEntry("brisel", o), "");
}

TEST(Autostart, LivesInTheUsersConfigFolder) {
  EXPECT_EQ(AutostartPath("/x/cfg", "/home/u"), std::filesystem::path("/x/cfg/autostart/brisel.desktop"));
  EXPECT_EQ(AutostartPath(nullptr, "/home/u"), std::filesystem::path("/home/u/.config/autostart/brisel.desktop"));
  EXPECT_EQ(AutostartPath("", "/home/u"), std::filesystem::path("/home/u/.config/autostart/brisel.desktop"));
  EXPECT_EQ(AutostartPath("cfg", "/home/u"), std::filesystem::path("/home/u/.config/autostart/brisel.desktop"));
  EXPECT_EQ(AutostartPath(nullptr, nullptr), std::nullopt);
  EXPECT_EQ(AutostartPath("relative", "also/relative"), std::nullopt);
}

TEST(Autostart, OnWritesTheEntryAndItsFoldersOffRemovesIt) {
  const auto dir = std::filesystem::temp_directory_path() / ("brisel-autostart-" + std::to_string(std::random_device()()));
  std::filesystem::remove_all(dir);
  const auto path = dir / "autostart" / "brisel.desktop";
  std::string error;
  EXPECT_EQ(SetAutostart(path, true, "one\n", error), "autostart on: " + path.string() + " starts brisel --run at login");
  EXPECT_EQ(SetAutostart(path, true, "two\n", error).empty(), false);
  std::ifstream in(path);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "two\n");  // replaced, not appended
  EXPECT_EQ(SetAutostart(path, false, "", error), "autostart off: removed " + path.string());
  EXPECT_FALSE(std::filesystem::exists(path));
  EXPECT_EQ(SetAutostart(path, false, "", error), "autostart off: there was no " + path.string());
  EXPECT_EQ(error, "");
  // A folder that cannot be made: an error, and nothing claimed.
  std::ofstream(dir / "file") << "x";
  EXPECT_EQ(SetAutostart(dir / "file" / "autostart" / "brisel.desktop", true, "x", error), "");
  EXPECT_NE(error.find("cannot create"), std::string::npos) << error;
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace brisel
