// The system's own words for a Win32 error code, and the failures of calls that report theirs
// through GetLastError (platform/failure.h).
#pragma once

#include <string>
#include <string_view>

#include "platform/failure.h"
#include "platform/win32/win32_headers.h"

namespace brisel::win32 {

// A program without a console of its own writes --help, --version and its messages to the
// console it was started from, if any; output sent to a file or a pipe stays there. Called
// first thing.
void UseParentConsole();

// The system's text for an error code or an HRESULT ("Class already exists."), without the
// line break FormatMessage ends it with; "error N" where the system has none.
std::string SystemText(DWORD error);

// The call failed and the program cannot go on: Fail with the text of GetLastError.
[[noreturn]] void FailLastError(std::string_view call);

// RegisterClassW, where a class of the same name registered before by this process (a second
// loop, a test's second set of windows) is no failure.
void RegisterClassOrFail(const WNDCLASSW& wc);

}  // namespace brisel::win32
