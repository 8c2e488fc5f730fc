// How the real programs report what the system refused: one line, `brisel: CALL: what the
// system said`. Fail is for a failure the program cannot go on after; Warn for one it goes on
// after, with less. Each platform has its own sink for the line (SayFailure): standard error on
// Linux; on Windows, where no console may be attached, a message box as well.
//
// A failure the design answers quietly (a volume write while no sound server runs) is no
// failure here and says nothing.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace brisel {

enum class Severity { fail, warn };

// The platform's sink: shows `line` ("brisel: ...", no newline) where the user sees it.
// Defined once per platform (platform/linux/linux_failure.cpp, platform/win32/win32_failure.cpp).
void SayFailure(Severity severity, const std::string& line);

// "brisel: CALL: SAID".
std::string FailureLine(std::string_view call, std::string_view said);

// A system call failed and the program cannot go on: thrown up to the program's main, which
// reports it through ReportError and ends with status 1. Never exit(): the windows, the
// connections and the trace are closed on the way out.
class SystemFailure : public std::runtime_error {
 public:
  SystemFailure(std::string_view call, std::string_view said);
};
[[noreturn]] void Fail(std::string_view call, std::string_view said);

// A system call failed and the program goes on with less: said now.
void Warn(std::string_view call, std::string_view said);

// The one way both programs report an error nothing handled, from inside a catch block: a
// run-time error of the behaviour ("brisel: run-time error: Overflow"), a SystemFailure, any
// other exception; said through the platform's sink as a failure. Returns the exit status, 1.
int ReportError();

// The text of an errno value, as strerror gives it.
std::string ErrnoText(int error);

}  // namespace brisel
