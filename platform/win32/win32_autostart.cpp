#include "platform/win32/win32_autostart.h"

#include "platform/win32/win32_failure.h"

namespace brisel::win32 {

namespace {

constexpr const char* kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr const char* kValue = "Brisel";
constexpr const char* kWhere = "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Run\\Brisel";

// The running program's full path, as the login should start it again.
std::string ThisProgram() {
  std::string path(MAX_PATH, '\0');
  for (;;) {
    const DWORD n = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) return "brisel.exe";
    if (n < path.size()) return path.substr(0, n);
    path.resize(path.size() * 2);
  }
}

}  // namespace

std::string CommandLineArgument(std::string_view arg) {
  std::string out = "\"";
  std::size_t backslashes = 0;
  for (char c : arg) {
    if (c == '\\') {
      ++backslashes;
    } else {
      // Backslashes before a quote stand for half as many: doubled, and one more for the quote.
      if (c == '"') out.append(backslashes + 1, '\\');
      backslashes = 0;
    }
    out += c;
  }
  out.append(backslashes, '\\');  // before the closing quote
  return out + "\"";
}

std::optional<std::string> Autostart(const Options& options) {
  if (!*options.autostart) {
    const LSTATUS status = RegDeleteKeyValueA(HKEY_CURRENT_USER, kRunKey, kValue);
    if (status == ERROR_FILE_NOT_FOUND) return std::string("autostart off: there was no ") + kWhere;
    if (status != ERROR_SUCCESS) Fail("RegDeleteKeyValueA", SystemText(static_cast<DWORD>(status)));
    return std::string("autostart off: removed ") + kWhere;
  }
  const std::string command = AutostartCommand(ThisProgram(), options, CommandLineArgument);
  if (command.empty()) return std::nullopt;
  const LSTATUS status = RegSetKeyValueA(HKEY_CURRENT_USER, kRunKey, kValue, REG_SZ, command.c_str(),
                                         static_cast<DWORD>(command.size() + 1));
  if (status != ERROR_SUCCESS) Fail("RegSetKeyValueA", SystemText(static_cast<DWORD>(status)));
  return std::string("autostart on: ") + kWhere + " starts " + command + " at login";
}

}  // namespace brisel::win32
