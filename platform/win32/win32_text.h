// Text across the system: the program keeps its text in UTF-8, Windows takes and gives it in
// UTF-16 through the calls that end in W. (The calls that end in A would pass it through the
// ANSI code page, which cannot hold a name like C:\Users\Łukasz on most systems.)
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace brisel::win32 {

// UTF-8 to UTF-16 (platform/utf16.h) as the W calls take it.
std::wstring Wide(std::string_view utf8);
// UTF-16 to UTF-8; a lone surrogate becomes U+FFFD.
std::string Utf8(std::wstring_view wide);
// The program's command line as the system keeps it, in UTF-16, as UTF-8 arguments; the C
// run-time's argv (given for when that fails) holds it in the ANSI code page, where a path may
// not fit.
std::vector<std::string> CommandLineUtf8(int argc, char** argv);

}  // namespace brisel::win32
