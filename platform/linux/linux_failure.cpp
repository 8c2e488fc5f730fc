// The Linux program's failures and warnings go to standard error, one line each.
#include <cstdio>

#include "platform/failure.h"

namespace brisel {

void SayFailure(Severity, const std::string& line) {
  std::fprintf(stderr, "%s\n", line.c_str());
  std::fflush(stderr);
}

}  // namespace brisel
