#include "platform/win32/win32_autostart.h"

#include "platform/win32/win32_failure.h"
#include "platform/win32/win32_text.h"

namespace brisel::win32 {

namespace {

constexpr const wchar_t* kRunKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr const wchar_t* kValue = L"Brisel";
constexpr const char* kWhere = "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Run\\Brisel";

// The running program's full path, as the login should start it again.
std::string ThisProgram() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) return "brisel.exe";
    if (n < path.size()) return Utf8(path.substr(0, n));
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
    const LSTATUS status = RegDeleteKeyValueW(HKEY_CURRENT_USER, kRunKey, kValue);
    if (status == ERROR_FILE_NOT_FOUND) return std::string("autostart off: there was no ") + kWhere;
    if (status != ERROR_SUCCESS) Fail("RegDeleteKeyValueW", SystemText(static_cast<DWORD>(status)));
    return std::string("autostart off: removed ") + kWhere;
  }
  const std::string command = AutostartCommand(ThisProgram(), options, CommandLineArgument);
  if (command.empty()) return std::nullopt;
  // In one call: the value is there whole, or as it was.
  const std::wstring data = Wide(command);
  const LSTATUS status = RegSetKeyValueW(HKEY_CURRENT_USER, kRunKey, kValue, REG_SZ, data.c_str(),
                                         static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
  if (status != ERROR_SUCCESS) Fail("RegSetKeyValueW", SystemText(static_cast<DWORD>(status)));
  return std::string("autostart on: ") + kWhere + " starts " + command + " at login";
}

}  // namespace brisel::win32
