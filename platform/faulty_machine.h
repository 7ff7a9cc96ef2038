// A Machine that passes every call on to another machine, except the calls its FaultPlan says
// should fail: those return the planned status without reaching the machine underneath. It wraps
// the sandbox and the real Win32 machine alike, so the same fault reaches both back ends.
#pragma once

#include <memory>

#include "platform/fault_plan.h"
#include "platform/machine.h"

namespace vu::platform {

// The registry and the file system alone behind |plan|, for tools that hold no whole machine.
std::unique_ptr<Registry> MakeFaultyRegistry(Registry& registry, FaultPlan& plan);
std::unique_ptr<FileSystem> MakeFaultyFiles(FileSystem& files, FaultPlan& plan);

class FaultyMachine : public Machine {
 public:
  explicit FaultyMachine(Machine& machine);
  ~FaultyMachine() override;

  Registry& registry() override;
  FileSystem& files() override;
  Shell& shell() override;
  System& system() override;

  FaultPlan& faults() { return plan_; }
  Machine& inner() { return machine_; }

 private:
  Machine& machine_;
  FaultPlan plan_;
  std::unique_ptr<Registry> registry_;
  std::unique_ptr<FileSystem> files_;
  std::unique_ptr<Shell> shell_;
  std::unique_ptr<System> system_;
};

}  // namespace vu::platform
