// A new sandbox machine in its own temporary folder, removed again after each test: the start of
// the tests of the sandbox machine itself, which look at its folder on the host as well.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <memory>
#include <string>

#include "platform/sandbox/machine.h"

namespace vu::test_support {

class FreshMachineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/vu_sandbox_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;
    std::string error;
    ASSERT_TRUE(vu::platform::sandbox::SandboxMachine::Init(MachineDir(), &error)) << error;
    Reopen();
  }
  void TearDown() override {
    machine_.reset();
    std::filesystem::remove_all(dir_);
  }
  // Opens the machine anew, as the next program to run on it would.
  void Reopen() {
    machine_.reset();
    std::string error;
    machine_ = vu::platform::sandbox::SandboxMachine::Open(MachineDir(), &error);
    ASSERT_TRUE(machine_) << error;
  }
  // The machine's folder on the host.
  std::string MachineDir() const { return (dir_ / "m").string(); }
  vu::platform::FileSystem& files() { return machine_->files(); }

  std::filesystem::path dir_;
  std::unique_ptr<vu::platform::sandbox::SandboxMachine> machine_;
};

}  // namespace vu::test_support
