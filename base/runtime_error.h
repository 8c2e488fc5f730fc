// The program's run-time errors: a description ("Overflow") and a source, the project's name.
// Only SetTranslucency catches them; anywhere else one ends the program.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace brisel {

inline constexpr std::string_view kProjectName = "Brisel";

class RuntimeError : public std::runtime_error {
 public:
  explicit RuntimeError(const std::string& description) : std::runtime_error(description) {}
  std::string description() const { return what(); }
  std::string source() const { return std::string(kProjectName); }
};

[[noreturn]] inline void RaiseOverflow() { throw RuntimeError("Overflow"); }
[[noreturn]] inline void RaiseSubscriptOutOfRange() { throw RuntimeError("Subscript out of range"); }

}  // namespace brisel
