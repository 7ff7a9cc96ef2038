// helpc: compiles the help source into a Windows Help file and its contents file.
#include <iostream>
#include <string>
#include <vector>

#include "tools/helpc/helpc.h"

int main(int argc, char** argv) {
  return vu::helpc::RunHelpc(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr);
}
