// The machine a contract test runs on: a fresh sandbox machine natively, the real (Wine) machine
// in the Windows build. Each test gets its own scratch folder and scratch registry key, removed
// again when the test ends.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "platform/machine.h"
#include "platform/status.h"

namespace vu::contract {

// Where the back ends legitimately differ. The programs rely on none of these; the tests consult
// them instead of assuming one order. This is the only place the differences are declared.
struct BackEndTraits {
  // The sandbox enumerates a key's values in creation order (as Windows 9x does); Wine keeps
  // them sorted by name.
  bool valuesInCreationOrder = true;
  // The sandbox lists folder entries (after "." and "..") in case-insensitive name order; Wine
  // gives them in the host file system's order.
  bool listingSorted = true;
  // Wine reports FILE_ATTRIBUTE_ARCHIVE on every file whatever was set, so a file whose
  // attributes were cleared reads 32 there and FILE_ATTRIBUTE_NORMAL (128) on the sandbox.
  bool archiveAlwaysSet = false;
};

class ContractEnv {
 public:
  ContractEnv() = default;
  ContractEnv(const ContractEnv&) = delete;
  ContractEnv& operator=(const ContractEnv&) = delete;
  virtual ~ContractEnv() = default;

  virtual vu::platform::Machine& machine() = 0;
  // An existing, empty folder (Windows path, no trailing backslash).
  const std::string& scratchFolder() const { return scratchFolder_; }
  // A key path below HKEY_CURRENT_USER (no leading or trailing backslash) that does not exist
  // yet; everything below it is removed at the end of the test.
  const std::string& scratchKey() const { return scratchKey_; }
  const BackEndTraits& traits() const { return traits_; }

 protected:
  std::string scratchFolder_;
  std::string scratchKey_;
  BackEndTraits traits_;
};

// Makes the environment for one test; a failure to make it is reported through |error|.
std::unique_ptr<ContractEnv> OpenContractEnv(std::string* error);

// The base of every contract test: opens the environment before the test, closes it after.
class ContractTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    env_ = OpenContractEnv(&error);
    ASSERT_NE(env_, nullptr) << error;
  }
  void TearDown() override { env_.reset(); }

  vu::platform::Machine& machine() { return env_->machine(); }
  vu::platform::Registry& registry() { return env_->machine().registry(); }
  vu::platform::FileSystem& files() { return env_->machine().files(); }
  vu::platform::System& system() { return env_->machine().system(); }
  const std::string& folder() const { return env_->scratchFolder(); }
  const std::string& key() const { return env_->scratchKey(); }
  const BackEndTraits& traits() const { return env_->traits(); }
  // A path inside the scratch folder / a key path inside the scratch key.
  std::string Path(const std::string& relative) const { return folder() + "\\" + relative; }
  std::string Key(const std::string& relative) const { return key() + "\\" + relative; }

 private:
  std::unique_ptr<ContractEnv> env_;
};

}  // namespace vu::contract
