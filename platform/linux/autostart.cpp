#include "platform/linux/autostart.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <random>
#include <stdexcept>
#include <system_error>

#include "platform/failure.h"

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

namespace {

// The folder and those above it that do not exist yet, made 0700 (as the base directory
// convention asks of the folders it names); ENOTDIR, EACCES and the like as the system says.
std::error_code MakeFolders(const std::filesystem::path& folder) {
  std::error_code ec;
  if (folder.empty() || std::filesystem::is_directory(folder, ec)) return {};
  if (const std::error_code above = MakeFolders(folder.parent_path())) return above;
  if (mkdir(folder.c_str(), 0700) == 0) return {};
  const int error = errno;
  if (error == EEXIST && std::filesystem::is_directory(folder, ec)) return {};  // made meanwhile
  return {error, std::generic_category()};
}

// All of `text` into the descriptor, and onto the disk: 0, or the errno of what failed.
int WriteAll(int fd, std::string_view text) {
  while (!text.empty()) {
    const ssize_t n = write(fd, text.data(), text.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return n < 0 ? errno : EIO;
    text.remove_prefix(static_cast<std::size_t>(n));
  }
  return fsync(fd) == 0 ? 0 : errno;
}

// Replaces the file at `path` with `text` at once: written beside it under a name of its own,
// flushed, then renamed over it. Whatever fails, the file is as it was; the system's text then.
std::optional<std::string> ReplaceFile(const std::filesystem::path& path, std::string_view text) {
  std::random_device random;
  std::filesystem::path temporary;
  int fd = -1;
  for (int tries = 0; fd < 0 && tries < 100; ++tries) {
    temporary = path;
    temporary += ".new-" + std::to_string(random());
    // Mode 0666 less the umask, as any file the user's programs make.
    fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) break;
  }
  if (fd < 0) return ErrnoText(errno);
  int error = WriteAll(fd, text);
  if (close(fd) != 0 && !error) error = errno;
  if (!error && rename(temporary.c_str(), path.c_str()) != 0) error = errno;
  if (!error) return std::nullopt;
  unlink(temporary.c_str());
  return ErrnoText(error);
}

}  // namespace

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
  if ((ec = MakeFolders(path.parent_path()))) {
    error = "cannot create " + path.parent_path().string() + ": " + ec.message();
    return {};
  }
  if (const auto why = ReplaceFile(path, entry)) {
    error = "cannot write " + path.string() + ": " + *why;
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
