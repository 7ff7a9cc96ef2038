#include "optimizer/app/unattended.h"

#include <sstream>

#include "common/unattended_log.h"
#include "optimizer/app/launch.h"
#include "optimizer/engine/run.h"
#include "optimizer/engine/run_progress.h"

namespace vu::optimizer {
namespace {

// A run nobody watches: nothing is shown, no bar needs filling and nothing waits, so the run
// does its work at once. The random numbers only pace a walk it does not make.
class UnwatchedProgress final : public RunProgress {
 public:
  explicit UnwatchedProgress(vu::platform::System& system) : system_(system) {}

  std::string backupFolder;

  void SearchBegins() override {}
  void SearchEnds() override {}
  void ListSteps(const SelectionFlags&) override {}
  void StepBegins(Step, common::VbBool, std::int32_t) override {}
  void StepEnds(Step, StepOutcome) override {}
  void ShowResults(const SelectionFlags&, const std::array<StepOutcome, kStepCount>&,
                   const std::string& folder) override {
    backupFolder = folder;
  }
  bool BarFull() override { return true; }
  void WaitForBar() override {}
  void PaceBar(int) override {}
  void Pause(std::int16_t) override {}
  void Yield() override {}
  void Randomize() override {}
  float Random() override { return 0.5f; }
  void ShowSection(const std::string&) override {}
  void ShowKey(const std::string&) override {}
  void ShowFileLine(const std::string&) override {}
  // The screen the wizard would have been shown on, for the system facts.
  ScreenFigures Screen() override {
    const int perInch = system_.LogPixelsX();
    const int twips = perInch > 0 ? 1440 / perInch : 15;
    return ScreenFigures{system_.Metric(SM_CXSCREEN), system_.Metric(SM_CYSCREEN), twips, twips};
  }

 private:
  vu::platform::System& system_;
};

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
  UnwatchedProgress progress(machine.system());
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
