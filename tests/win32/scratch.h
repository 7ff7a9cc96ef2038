// A scratch folder and a scratch registry key for one test of the Win32 back end, on the real
// machine (a Wine prefix on Linux), removed again when the test ends.
#pragma once

#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "platform/machine.h"

namespace vu::win32_tests {

// A name no other test run uses at the same time.
std::string UniqueName(const std::string& stem);

class Win32Test : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  platform::Machine& machine() { return *machine_; }
  platform::Registry& registry() { return machine_->registry(); }
  platform::FileSystem& files() { return machine_->files(); }
  platform::Shell& shell() { return machine_->shell(); }
  platform::System& system() { return machine_->system(); }
  // An existing empty folder (no trailing backslash) and a key path below HKEY_CURRENT_USER.
  const std::string& folder() const { return folder_; }
  const std::string& key() const { return key_; }
  std::string Path(const std::string& relative) const { return folder_ + "\\" + relative; }

  // Every name a listing of |pattern| gives, "." and ".." left out.
  std::vector<std::string> ListNames(const std::string& pattern);

 private:
  std::unique_ptr<platform::Machine> machine_;
  std::string folder_;
  std::string key_;
};

}  // namespace vu::win32_tests
