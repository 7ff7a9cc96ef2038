// Optimizer --restore FOLDER: puts back what one run changed, from the run's backup folder
// (backup_log.h): every change in its journal is undone, newest first, then everything named
// there is read back and compared with what the journal says it was. Restoring twice is
// harmless: the second time finds everything in place already and writes the same things again.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/machine.h"

namespace vu::optimizer {

struct RestoreReport {
  std::vector<std::string> restored;  // one line per thing put back
  std::vector<std::string> failed;    // one line per thing that could not be
  bool ok() const { return failed.empty(); }
};

RestoreReport RestoreBackup(vu::platform::Machine& machine, std::string_view folder);

// The report as the user reads it (also written to Restore.txt in the backup folder).
std::string FormatRestoreReport(std::string_view folder, const RestoreReport& report);

// Restores, writes Restore.txt into the folder and returns the report's text in |text|; the
// program's exit status: 0 when everything was restored, 1 otherwise.
int RunRestore(vu::platform::Machine& machine, std::string_view folder, std::string& text);

}  // namespace vu::optimizer
