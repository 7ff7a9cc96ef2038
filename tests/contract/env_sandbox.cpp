// The native contract environment: a fresh sandbox machine in a temporary host folder per test.
#include <chrono>
#include <filesystem>
#include <random>
#include <string>

#include "platform/sandbox/machine.h"
#include "tests/contract/env.h"

namespace vu::contract {
namespace {

std::string UniqueName() {
  std::random_device random;
  const auto ticks = std::chrono::steady_clock::now().time_since_epoch().count();
  return std::to_string(ticks) + "-" + std::to_string(random());
}

class SandboxEnv : public ContractEnv {
 public:
  explicit SandboxEnv(std::filesystem::path host) : host_(std::move(host)) {}
  ~SandboxEnv() override {
    machine_.reset();
    std::error_code ignored;
    std::filesystem::remove_all(host_, ignored);
  }

  bool Open(std::string* error) {
    const std::string host = host_.string();
    if (!vu::platform::sandbox::SandboxMachine::Init(host, error)) return false;
    machine_ = vu::platform::sandbox::SandboxMachine::Open(host, error);
    if (!machine_) return false;
    scratchFolder_ = "C:\\Contract";
    if (machine_->files().MakeDirectory(scratchFolder_) != ERROR_SUCCESS) {
      *error = "cannot make " + scratchFolder_;
      return false;
    }
    scratchKey_ = "Software\\VU Contract\\" + UniqueName();
    traits_.valuesInCreationOrder = true;
    traits_.listingSorted = true;
    traits_.archiveAlwaysSet = false;
    return true;
  }

  vu::platform::Machine& machine() override { return *machine_; }

 private:
  std::filesystem::path host_;
  std::unique_ptr<vu::platform::sandbox::SandboxMachine> machine_;
};

}  // namespace

std::unique_ptr<ContractEnv> OpenContractEnv(std::string* error) {
  auto env = std::make_unique<SandboxEnv>(std::filesystem::temp_directory_path() /
                                          ("vu-contract-" + UniqueName()));
  if (!env->Open(error)) return nullptr;
  return env;
}

}  // namespace vu::contract
