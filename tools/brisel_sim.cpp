// brisel-sim: runs Brisel's behaviour on the simulated platform from a script.
// Usage: brisel-sim [SCRIPT]   (standard input without SCRIPT)
#include <fstream>
#include <iostream>

#include "tools/sim_script.h"

int main(int argc, char** argv) {
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
