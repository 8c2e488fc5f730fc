// How the real programs report what the system refused: one line, `brisel: CALL: what the
// system said`. Fail is for a failure the program cannot go on after; Warn for one it goes on
// after, with less.
//
// Every message for the user goes through one sink (SayFailure), which puts it where the user
// looks: on standard error when that is a terminal (a console), a file or a pipe; in a message
// box when it is not, as for a program started from a menu, a launcher or Explorer.
//
// A failure the design answers quietly (a volume write while no sound server runs) is no
// failure here and says nothing.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace brisel {

enum class Severity {
  fail,  // the program cannot go on
  warn,  // it goes on, with less
  info,  // a message for the user: already running, not running
  hint   // advice at every start, and what is said where no box may open (inside Xlib's error
         // handlers): on standard error only
};

// The sink: shows `line` ("brisel: ...", no line break at its end) where the user sees it.
void SayFailure(Severity severity, const std::string& line);

// What each platform gives the sink (platform/linux/linux_failure.cpp,
// platform/win32/win32_failure.cpp): whether standard error goes where the user looks, and a
// message box with the text, shown until the user closes it (false when none can be shown).
bool StandardErrorSeen();
bool SayInABox(Severity severity, const std::string& text);

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
