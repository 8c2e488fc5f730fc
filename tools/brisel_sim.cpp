// brisel-sim: runs Brisel's behaviour on the simulated platform from a script.
// Usage: brisel-sim [SCRIPT]   (standard input without SCRIPT)
#include <fstream>
#include <iostream>

#include "tools/sim_script.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

int main(int argc, char** argv) {
#ifdef _WIN32
  // The trace is the same bytes on every system: no carriage returns added on Windows.
  _setmode(_fileno(stdout), _O_BINARY);
#endif
  if (argc > 2) {
    std::cerr << "usage: brisel-sim [SCRIPT]\n";
    return 2;
  }
  if (argc == 2) {
    std::ifstream file(argv[1]);
    if (!file) {
      std::cerr << "brisel-sim: cannot open " << argv[1] << "\n";
      return 2;
    }
    return brisel::sim::RunScript(file, std::cout, std::cerr);
  }
  return brisel::sim::RunScript(std::cin, std::cout, std::cerr);
}
