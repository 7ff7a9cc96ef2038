#include "platform/sandbox/machine.h"

#include <filesystem>
#include <system_error>

#include "platform/sandbox/layout.h"

namespace vu::platform::sandbox {

SandboxMachine::SandboxMachine(std::string hostDir)
    : hostDir_(std::move(hostDir)),
      store_(hostDir_),
      files_(store_),
      system_(hostDir_),
      shell_(store_, system_) {}

SandboxMachine::~SandboxMachine() = default;

std::unique_ptr<SandboxMachine> SandboxMachine::Open(const std::string& hostDir,
                                                     std::string* error) {
  namespace fs = std::filesystem;
  std::string ignored;
  if (error == nullptr) error = &ignored;
  std::error_code ec;
  if (hostDir.empty() || !fs::is_directory(hostDir, ec)) {
    *error = "no sandbox machine at " + hostDir + " (no such folder)";
    return nullptr;
  }
  if (!fs::is_regular_file(fs::path(hostDir) / kMachineIni, ec)) {
    *error = "no sandbox machine at " + hostDir + " (" + std::string(kMachineIni) + " is missing)";
    return nullptr;
  }
  std::unique_ptr<SandboxMachine> machine(new SandboxMachine(hostDir));
  machine->registry_ = SandboxRegistry::Open((fs::path(hostDir) / kRegistryDb).string(), error);
  if (!machine->registry_) return nullptr;
  return machine;
}

std::string SandboxMachine::HostPath(std::string_view winPath, Status* status) const {
  HostEntry entry;
  const Status resolved = store_.resolver().Resolve(winPath, entry);
  if (status != nullptr) *status = resolved;
  return entry.host;
}

}  // namespace vu::platform::sandbox
