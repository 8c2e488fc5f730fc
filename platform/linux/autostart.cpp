#include "platform/linux/autostart.h"

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <system_error>

namespace brisel {

std::optional<std::filesystem::path> AutostartPath(const char* xdg_config_home, const char* home) {
  std::filesystem::path config;
  if (xdg_config_home && std::filesystem::path(xdg_config_home).is_absolute())
    config = xdg_config_home;
  else if (home && std::filesystem::path(home).is_absolute())
    config = std::filesystem::path(home) / ".config";
  else
    return std::nullopt;
  return config / "autostart" / "brisel.desktop";
}

std::string ExecArgument(std::string_view arg) {
  // The characters that make the desktop-entry format require quoting.
  constexpr std::string_view kReserved = " \t\n\"'\\><~|&;$*?#()`";
  const bool quote = arg.empty() || arg.find_first_of(kReserved) != std::string_view::npos;
  std::string out = quote ? "\"" : "";
  for (char c : arg) {
    if (quote && (c == '"' || c == '`' || c == '$' || c == '\\')) out += '\\';
    out += c;
    if (c == '%') out += '%';
  }
  if (quote) out += '"';
  // The Exec value is itself a string value, whose own escape is the backslash.
  std::string value;
  for (char c : out) {
    if (c == '\\') value += '\\';
    value += c;
  }
  return value;
}

std::string AutostartEntry(std::string_view program, const Options& options) {
  const std::string exec = AutostartCommand(program, options, ExecArgument);
  if (exec.empty()) return {};
  return "[Desktop Entry]\n"
         "Type=Application\n"
         "Name=Brisel\n"
         "Comment=Volume up, down and mute on three keys of your choice\n"
         "Exec=" + exec + "\n"
         "Terminal=false\n";
}

std::string SetAutostart(const std::filesystem::path& path, bool on, const std::string& entry, std::string& error) {
  std::error_code ec;
  if (!on) {
    const bool removed = std::filesystem::remove(path, ec);
    if (ec) {
      error = "cannot remove " + path.string() + ": " + ec.message();
      return {};
    }
    return removed ? "autostart off: removed " + path.string() : "autostart off: there was no " + path.string();
  }
  std::filesystem::create_directories(path.parent_path(), ec);
  if (ec) {
    error = "cannot create " + path.parent_path().string() + ": " + ec.message();
    return {};
  }
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) {
    error = "cannot write " + path.string() + ": " + std::generic_category().message(errno);
    return {};
  }
  out << entry;
  out.close();
  if (!out) {
    error = "cannot write " + path.string();
    return {};
  }
  return "autostart on: " + path.string() + " starts brisel --run at login";
}

namespace {

// The running program, as brisel --run at login should find it again.
std::string ThisProgram() {
  std::error_code ec;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::string("brisel") : self.string();
}

}  // namespace

std::optional<std::string> Autostart(const Options& options) {
  const auto path = AutostartPath(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"));
  if (!path) throw std::runtime_error("cannot find the autostart folder: neither XDG_CONFIG_HOME nor HOME is set");
  const std::string entry = AutostartEntry(ThisProgram(), options);
  if (entry.empty()) return std::nullopt;
  std::string error;
  std::string done = SetAutostart(*path, *options.autostart, entry, error);
  if (!error.empty()) throw std::runtime_error(error);
  return done;
}

}  // namespace brisel
