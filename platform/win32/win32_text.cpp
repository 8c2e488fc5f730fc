#include "platform/win32/win32_text.h"

#include "platform/utf16.h"
#include "platform/win32/win32_headers.h"
// After <windows.h>, which it needs.
#include <shellapi.h>

namespace brisel::win32 {

std::wstring Wide(std::string_view utf8) {
  const std::u16string wide = Utf16(utf8);
  return {wide.begin(), wide.end()};
}

std::string Utf8(std::wstring_view wide) {
  if (wide.empty()) return {};
  const int size = static_cast<int>(wide.size());
  std::string out(static_cast<std::size_t>(WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr)),
                  '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, out.data(), static_cast<int>(out.size()), nullptr, nullptr);
  return out;
}

std::vector<std::string> CommandLineUtf8(int argc, char** argv) {
  int n = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &n);
  if (!wide) return {argv, argv + argc};
  std::vector<std::string> args;
  for (int i = 0; i < n; ++i) args.push_back(Utf8(wide[i]));
  LocalFree(wide);
  return args;
}

}  // namespace brisel::win32
