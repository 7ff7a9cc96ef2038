#include "optimizer/app/operations_table.h"

#include "optimizer/engine/registry_mistakes.h"
#include "optimizer/engine/scan.h"
#include "optimizer/engine/shared_entries.h"
#include "optimizer/engine/shortcuts.h"
#include "optimizer/engine/tweaks.h"

namespace vu::optimizer {

Operations MakeOperations() {
  Operations operations;
  // One line per operation as the engine provides them, for example:
  //   operations.findShortcuts = FindShortcuts;
  //   operations.steps[Index(Step::BrokenLinks)] = RemoveBrokenShortcuts;
  //   operations.scanDriveForShow = ScanDriveForShow;
  operations.findShortcuts = FindShortcuts;
  operations.steps[Index(Step::BrokenLinks)] = RemoveBrokenShortcuts;
  operations.steps[Index(Step::RegistryMistakes)] = FixRegistryMistakes;
  operations.steps[Index(Step::UninstallInfo)] = RemoveStaleUninstallEntries;
  operations.steps[Index(Step::OrphanedDlls)] = RemoveOrphanedDlls;
  operations.steps[Index(Step::VirtualCache)] = TuneVirtualCache;
  operations.steps[Index(Step::DosBoot)] = TuneBootMenuDelay;
  operations.steps[Index(Step::Internet)] = TuneTcpIp;
  operations.steps[Index(Step::FileSystem)] = TuneCdRomCache;
  operations.steps[Index(Step::Startup)] = TuneStartup;
  operations.steps[Index(Step::StartMenu)] = TuneMenuDelay;
  operations.scanDriveForShow = ScanDriveForShow;
  return operations;
}

}  // namespace vu::optimizer
