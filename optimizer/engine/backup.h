// Nothing the Optimizer removes is lost: for the length of a run the engine works on a
// BackupMachine, which passes every call on to the real machine but first writes whatever a call
// is about to delete or replace into the run's backup folder (backup_log.h). A change whose
// backup could not be written is refused with ERROR_WRITE_FAULT and changes nothing, so the
// operation reports failure and its step shows the warning picture.
#pragma once

#include <memory>
#include <string>

#include "optimizer/engine/backup_log.h"
#include "platform/machine.h"

namespace vu::optimizer {

class BackupMachine final : public vu::platform::Machine {
 public:
  explicit BackupMachine(vu::platform::Machine& machine);
  ~BackupMachine() override;

  vu::platform::Registry& registry() override;
  vu::platform::FileSystem& files() override;
  // Shell and system calls change nothing the run could want back: they go straight through.
  vu::platform::Shell& shell() override { return machine_.shell(); }
  vu::platform::System& system() override { return machine_.system(); }

  // Names the optimization whose changes follow, for Contents.txt.
  void SetOptimization(std::string name) { log_.SetOptimization(std::move(name)); }
  // The backup folder; empty when nothing has been changed.
  const std::string& folder() const { return log_.folder(); }

 private:
  vu::platform::Machine& machine_;
  BackupLog log_;
  std::unique_ptr<vu::platform::Registry> registry_;
  std::unique_ptr<vu::platform::FileSystem> files_;
};

}  // namespace vu::optimizer
