// UTF-8, the program's text, to UTF-16, the form Windows takes it in; portable, so that the
// Windows platform and the trace file, which lives beside the behaviour, use the same one.
#pragma once

#include <string>
#include <string_view>

namespace brisel {

// Each byte that starts no well-formed character (a stray or missing continuation, an overlong
// form, a surrogate, a value past U+10FFFF) becomes U+FFFD.
std::u16string Utf16(std::string_view utf8);

}  // namespace brisel
