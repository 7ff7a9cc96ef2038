#include "optimizer/app/unattended.h"

#include <sstream>

#include "common/unattended_log.h"
#include "optimizer/app/launch.h"
#include "optimizer/engine/run.h"
#include "optimizer/engine/unwatched_progress.h"

namespace vu::optimizer {
namespace {

const char* OutcomeText(StepOutcome outcome) {
  switch (outcome) {
    case StepOutcome::Done:
      return "done";
    case StepOutcome::Failed:
      return "failed";
    case StepOutcome::NotNeeded:
      return "not needed on this Windows";
    case StepOutcome::NotRun:
      break;
  }
  return "not chosen";
}

}  // namespace

std::string ResultsReport(const SelectionFlags& flags,
                          const std::array<StepOutcome, kStepCount>& outcomes,
                          const std::string& backupFolder) {
  std::string report;
  for (const StepPacing& pacing : kRunOrder) {
    const int index = Index(pacing.step);
    const StepOutcome outcome =
        common::IsSet(flags.For(pacing.step)) ? outcomes[index] : StepOutcome::NotRun;
    report += std::string(kResultCaptions[index]) + ": " + OutcomeText(outcome) + "\n";
  }
  if (!backupFolder.empty())
    report += "A backup of all changes was saved in " + backupFolder + "\n";
  return report;
}

int RunExpressUnattended(vu::platform::Machine& machine, const Operations& operations,
                         const std::string& logFile, std::ostream& errors) {
  OptimizerState state;
  state.flags.SetAll(common::kTrue);
  UnwatchedProgress progress(&machine.system());
  Engine engine{machine, state, progress};
  RunOptimization(engine, operations);
  const int status = ExitStatus(0, true, state);
  std::ostringstream report;
  report << "Optimizer: Express run\n"
         << ResultsReport(state.flags, state.outcomes, progress.backupFolder)
         << "Optimizer: finished with exit status " << status << " ("
         << (status == 0 ? "every step done" : "a step failed") << ")\n";
  common::WriteUnattendedReport(machine, "Optimizer", logFile, report.str(), errors);
  return status;
}

}  // namespace vu::optimizer
