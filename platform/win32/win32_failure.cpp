// The Windows program's failures and warnings: on standard error, where a console or a file
// takes it, and in a message box, since nobody may be watching a console.
#include "platform/win32/win32_failure.h"

#include <cstdio>

namespace brisel {

void SayFailure(Severity severity, const std::string& line) {
  std::fprintf(stderr, "%s\n", line.c_str());
  std::fflush(stderr);
  const UINT icon = severity == Severity::fail ? MB_ICONERROR : MB_ICONWARNING;
  MessageBoxA(nullptr, line.c_str(), "Brisel", MB_OK | icon);
}

}  // namespace brisel

namespace brisel::win32 {

std::string SystemText(DWORD error) {
  char text[256] = "";
  const DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0, text,
                                 sizeof text, nullptr);
  std::string out(text, n);
  while (!out.empty() && (out.back() == '\n' || out.back() == '\r' || out.back() == ' ')) out.pop_back();
  return out.empty() ? "error " + std::to_string(error) : out;
}

void FailLastError(std::string_view call) { Fail(call, SystemText(GetLastError())); }

void RegisterClassOrFail(const WNDCLASSA& wc) {
  if (!RegisterClassA(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) FailLastError("RegisterClassA");
}

}  // namespace brisel::win32
