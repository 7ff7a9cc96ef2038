// helpc: compiles the help source into a Windows Help file and its contents file.
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "tools/helpc/helpc.h"

int main(int argc, char** argv) {
  try {
    return vu::helpc::RunHelpc(std::vector<std::string>(argv + 1, argv + argc), std::cout,
                               std::cerr);
  } catch (const std::exception& e) {
    std::cerr << "helpc: " << e.what() << "\n";
    return 2;
  }
}
