// brisel-sim: runs Brisel's behaviour on the simulated platform from a script.
// Usage: brisel-sim [--scale S] [SCRIPT]   (standard input without SCRIPT); snapshots are
// drawn at the scale S (1, 1.25, 1.5 ... 8), as a screen of S x 96 dpi shows the display.
#include <fstream>
#include <iostream>
#include <optional>
#include <string_view>

#include "resources/scale.h"
#include "tools/sim_script.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

namespace {
int Usage() {
  std::cerr << "usage: brisel-sim [--scale S] [SCRIPT]\n";
  return 2;
}
}  // namespace

int main(int argc, char** argv) {
#ifdef _WIN32
  // The trace is the same bytes on every system: no carriage returns added on Windows.
  _setmode(_fileno(stdout), _O_BINARY);
#endif
  brisel::Scale scale;
  int first = 1;
  if (argc > 1 && std::string_view(argv[1]) == "--scale") {
    const std::optional<brisel::Scale> s = argc > 2 ? brisel::ParseScale(argv[2]) : std::nullopt;
    if (!s) return Usage();
    scale = *s;
    first = 3;
  }
  if (argc - first > 1) return Usage();
  if (argc - first == 1) {
    std::ifstream file(argv[first]);
    if (!file) {
      std::cerr << "brisel-sim: cannot open " << argv[first] << "\n";
      return 2;
    }
    return brisel::sim::RunScript(file, std::cout, std::cerr, scale);
  }
  return brisel::sim::RunScript(std::cin, std::cout, std::cerr, scale);
}
