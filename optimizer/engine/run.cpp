#include "optimizer/engine/run.h"

#include <exception>
#include <string>

#include "optimizer/engine/backup.h"
#include "optimizer/engine/paths.h"
#include "optimizer/engine/tweaks.h"
#include "platform/status.h"

namespace vu::optimizer {

using common::kFalse;
using common::kTrue;

const std::array<StepPacing, kStepCount> kRunOrder = {{
    {Step::BrokenLinks, kFalse, 10000, true, false, 2000},
    {Step::RegistryMistakes, kFalse, 35000, false, true, 1000},
    {Step::VirtualCache, kTrue, 0, true, true, 1000},
    {Step::DosBoot, kFalse, 1000, true, true, 300},
    {Step::UninstallInfo, kFalse, 2000, false, true, 500},
    {Step::Internet, kFalse, 2000, false, true, 500},
    {Step::FileSystem, kFalse, 3500, true, true, 1000},
    {Step::Startup, kTrue, 0, false, true, 1000},
    {Step::StartMenu, kFalse, 1000, false, true, 700},
    {Step::OrphanedDlls, kFalse, 3000, true, true, 2500},
}};

namespace {

bool Selected(const Engine& engine, Step step) {
  return common::IsSet(engine.state.flags.For(step));
}

// An operation that is missing or throws has not done its work; the run goes on regardless.
bool Perform(Engine& engine, const std::function<bool(Engine&)>& operation) {
  if (!operation) return false;
  try {
    return operation(engine);
  } catch (const std::exception&) {
    return false;
  }
}

void RunStep(Engine& engine, const Operations& operations, const StepPacing& pacing,
             bool searchComplete) {
  RunProgress& progress = engine.progress;
  StepOutcome& outcome = engine.state.outcomes[Index(pacing.step)];
  progress.StepBegins(pacing.step, pacing.randomPace, pacing.duration);
  // A step this Windows has no use for changes nothing, but keeps its pace like every other.
  if (!StepNeeded(engine.machine.system(), pacing.step)) {
    outcome = StepOutcome::NotNeeded;
  } else {
    bool done = Perform(engine, operations.steps[Index(pacing.step)]);
    // Removing broken shortcuts can only be complete when the search saw every shortcut.
    if (pacing.step == Step::BrokenLinks) done = done && searchComplete;
    outcome = done ? StepOutcome::Done : StepOutcome::Failed;
  }
  if (pacing.scan && operations.scanDriveForShow) {
    const std::string root = GetSystemDir(engine.machine.system()).substr(0, 3);
    operations.scanDriveForShow(engine, root);
  }
  if (pacing.waitForBar) progress.WaitForBar();
  progress.Pause(pacing.pause);
  progress.StepEnds(pacing.step, outcome);
}

}  // namespace

void RunOptimization(Engine& engine, const Operations& operations) {
  RunProgress& progress = engine.progress;
  engine.state.outcomes.fill(StepOutcome::NotRun);

  // Initialisation: the start-up animation plays while every shortcut of the drive is found.
  progress.SearchBegins();
  progress.Yield();
  const bool searchComplete = Perform(engine, operations.findShortcuts);
  progress.SearchEnds();
  progress.Pause(300);
  progress.ListSteps(engine.state.flags);

  // The steps change the machine through a recorder that keeps a backup of whatever they
  // remove or replace; a change it cannot back up is refused.
  BackupMachine backup(engine.machine);
  Engine recorded{backup, engine.state, engine.progress};
  for (const StepPacing& pacing : kRunOrder) {
    if (!Selected(engine, pacing.step)) continue;
    backup.SetOptimization(std::string(kResultCaptions[Index(pacing.step)]));
    RunStep(recorded, operations, pacing, searchComplete);
  }

  progress.ShowResults(engine.state.flags, engine.state.outcomes, backup.folder());
}

void RestartWindows(vu::platform::System& system) {
  system.Restart(EWX_SHUTDOWN | EWX_REBOOT, 1);
}

}  // namespace vu::optimizer
