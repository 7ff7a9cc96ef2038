// Express with no window, as deployment tools run programs: "/S" runs every optimization on the
// engine itself, without the wizard, its pacing or the restart; "/LOG=<file>" names the file
// that gets what the results page would show (else "%TEMP%\Velloria Optimizer.log").
#pragma once

#include <array>
#include <ostream>
#include <string>

#include "optimizer/engine/engine.h"
#include "optimizer/engine/state.h"
#include "platform/machine.h"

namespace vu::optimizer {

// What the results page would show, one line each: every step's line and its outcome ("done",
// "failed", "not needed on this Windows", "not chosen"), then the backup line when a backup was
// saved.
std::string ResultsReport(const SelectionFlags& flags,
                          const std::array<StepOutcome, kStepCount>& outcomes,
                          const std::string& backupFolder);

// Runs Express on |machine| with every step selected and writes the report and the exit status
// to |errors| and the log (|logFile|, or the default log when empty). Returns the exit status:
// 0 when every step was done (or was not needed), 1 otherwise.
int RunExpressUnattended(vu::platform::Machine& machine, const Operations& operations,
                         const std::string& logFile, std::ostream& errors);

}  // namespace vu::optimizer
