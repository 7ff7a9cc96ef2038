#include "platform/sandbox/machine.h"

#include <filesystem>
#include <system_error>

#include "platform/sandbox/layout.h"
#include "platform/sandbox/machine_check.h"

namespace vu::platform::sandbox {

SandboxMachine::SandboxMachine(std::string hostDir)
    : hostDir_(std::move(hostDir)),
      store_(hostDir_),
      files_(store_, hostDir_),
      system_(hostDir_),
      shell_(store_, system_) {}

SandboxMachine::~SandboxMachine() = default;

std::unique_ptr<SandboxMachine> SandboxMachine::Open(const std::string& hostDir,
                                                     std::string* error) {
  namespace fs = std::filesystem;
  std::string ignored;
  if (error == nullptr) error = &ignored;
  // A broken machine is refused before anything is opened (opening would make a registry).
  if (!CheckMachineFolder(hostDir, true, error)) return nullptr;
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
