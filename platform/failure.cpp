#include "platform/failure.h"

#include <cstdio>
#include <cstring>
#include <exception>

#include "base/runtime_error.h"

namespace brisel {

void SayFailure(Severity severity, const std::string& line) {
  if (severity != Severity::hint && !StandardErrorSeen() && SayInABox(severity, line)) return;
  std::fprintf(stderr, "%s\n", line.c_str());
  std::fflush(stderr);
}

std::string FailureLine(std::string_view call, std::string_view said) {
  std::string line = "brisel: ";
  line += call;
  line += ": ";
  line += said;
  return line;
}

SystemFailure::SystemFailure(std::string_view call, std::string_view said)
    : std::runtime_error(FailureLine(call, said)) {}

void Fail(std::string_view call, std::string_view said) { throw SystemFailure(call, said); }

void Warn(std::string_view call, std::string_view said) { SayFailure(Severity::warn, FailureLine(call, said)); }

int ReportError() {
  std::string line;
  try {
    throw;
  } catch (const RuntimeError& e) {
    line = "brisel: run-time error: " + e.description();
  } catch (const SystemFailure& e) {
    line = e.what();
  } catch (const std::exception& e) {
    line = std::string("brisel: ") + e.what();
  } catch (...) {
    line = "brisel: an unknown error";
  }
  SayFailure(Severity::fail, line);
  return 1;
}

std::string ErrnoText(int error) { return std::strerror(error); }

}  // namespace brisel
