// The Win32 back end's own tests run on the contract suite's Windows environment: the real
// machine (a Wine prefix on Linux) with a scratch folder and a scratch key removed again when the
// test ends.
#pragma once

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "tests/contract/env.h"

namespace vu::win32_tests {

// A name no other test run uses at the same time.
inline std::string UniqueName(const std::string& stem) {
  return stem + "-" + std::to_string(std::chrono::system_clock::now().time_since_epoch().count());
}

class Win32Test : public contract::ContractTest {
 protected:
  platform::Shell& shell() { return machine().shell(); }

  // Every name a listing of |pattern| gives, "." and ".." left out.
  std::vector<std::string> ListNames(const std::string& pattern) {
    std::vector<std::string> names;
    platform::FindData entry;
    std::unique_ptr<platform::Listing> listing;
    if (files().FindFirst(pattern, entry, listing) != ERROR_SUCCESS) return names;
    do {
      if (entry.name != "." && entry.name != "..") names.push_back(entry.name);
    } while (listing->Next(entry));
    return names;
  }
};

}  // namespace vu::win32_tests
