#include "optimizer/app/operations_table.h"

namespace vu::optimizer {

Operations MakeOperations() {
  Operations operations;
  // One line per operation as the engine provides them, for example:
  //   operations.findShortcuts = FindShortcuts;
  //   operations.steps[Index(Step::BrokenLinks)] = RemoveBrokenShortcuts;
  //   operations.scanDriveForShow = ScanDriveForShow;
  return operations;
}

}  // namespace vu::optimizer
