// Where the tests find the project's sources and the programs of the build they belong to. The
// build compiles both in; an environment variable of the same name overrides them.
#pragma once

#include <cstdlib>
#include <filesystem>

namespace vu::testing {

inline std::filesystem::path SourceDir() {
  if (const char* dir = std::getenv("VU_SOURCE_DIR")) return dir;
  return VU_TEST_SOURCE_DIR;
}

inline std::filesystem::path BinDir() {
  if (const char* dir = std::getenv("VU_BIN_DIR")) return dir;
  return VU_TEST_BIN_DIR;
}

}  // namespace vu::testing
