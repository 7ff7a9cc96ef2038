#include "optimizer/engine/run.h"

#include <exception>
#include <string>

#include "optimizer/engine/backup.h"
#include "optimizer/engine/paths.h"
#include "optimizer/engine/progress.h"
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

using toolkit::kGrey;

// The orders in which the run greys and shows things; the user sees them happen one by one.
constexpr Step kProgressGreyOrder[] = {
    Step::DosBoot,      Step::BrokenLinks,      Step::FileSystem, Step::Internet,
    Step::OrphanedDlls, Step::RegistryMistakes, Step::StartMenu,  Step::Startup,
    Step::VirtualCache, Step::UninstallInfo};
constexpr Step kProgressShowOrder[] = {
    Step::DosBoot,          Step::BrokenLinks, Step::FileSystem, Step::Internet,
    Step::RegistryMistakes, Step::StartMenu,   Step::Startup,    Step::VirtualCache,
    Step::UninstallInfo,    Step::OrphanedDlls};
constexpr Step kResultGreyOrder[] = {Step::DosBoot,      Step::BrokenLinks,      Step::FileSystem,
                                     Step::Internet,     Step::RegistryMistakes, Step::StartMenu,
                                     Step::OrphanedDlls, Step::UninstallInfo,    Step::Startup,
                                     Step::VirtualCache};

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
  RunView& view = engine.view;
  StepView& controls = view.steps[Index(pacing.step)];
  const bool registry = pacing.step == Step::RegistryMistakes;

  StartProgress(engine, pacing.randomPace, pacing.duration);
  controls.progressLabel.SetBold(true);
  if (registry) {
    view.linkNameLabel.SetVisible(true);
    view.sectionLabel.SetVisible(true);
  }
  bool done = Perform(engine, operations.steps[Index(pacing.step)]);
  // Removing broken shortcuts can only be complete when the search saw every shortcut.
  if (pacing.step == Step::BrokenLinks) done = done && searchComplete;
  engine.state.outcomes[Index(pacing.step)] = done ? StepOutcome::Done : StepOutcome::Failed;
  if (pacing.scan && operations.scanDriveForShow) {
    const std::string root = GetSystemDir(engine.machine.system()).substr(0, 3);
    operations.scanDriveForShow(engine, root);
  }
  if (pacing.waitForBar) WaitForProgress(engine);
  Pause(engine, pacing.pause);
  controls.progressLabel.SetBold(false);
  controls.progressTick.SetVisible(true);
  if (registry) {
    view.linkNameLabel.SetVisible(false);
    view.sectionLabel.SetVisible(false);
  }
}

}  // namespace

void RunOptimization(Engine& engine, const Operations& operations) {
  RunView& view = engine.view;
  engine.state.outcomes.fill(StepOutcome::NotRun);

  // Initialisation: the start-up animation plays while every shortcut of the drive is found.
  engine.state.progress.startProgressStep = 1;
  view.statusLabel.SetCaption("Initializing. . .");
  view.labelTimer.SetEnabled(true);
  view.progressBar.SetValue(0);
  view.startProgressTimer.SetEnabled(true);
  engine.program.DoEvents();
  const bool searchComplete = Perform(engine, operations.findShortcuts);
  view.progressBar.SetValue(100);
  view.startProgressTimer.SetEnabled(false);
  Pause(engine, 300);
  view.progressBar.SetValue(0);
  view.statusLabel.SetVisible(false);
  view.statusLabel1.SetVisible(false);
  view.statusLabel2.SetVisible(false);
  for (Step step : kProgressGreyOrder) {
    if (!Selected(engine, step)) view.steps[Index(step)].progressLabel.SetForeColor(kGrey);
  }
  for (Step step : kProgressShowOrder)
    view.steps[Index(step)].progressLabel.SetVisible(true);

  // The steps change the machine through a recorder that keeps a backup of whatever they
  // remove or replace; a change it cannot back up is refused.
  BackupMachine backup(engine.machine);
  Engine recorded{backup, engine.program, engine.state, engine.view};
  for (const StepPacing& pacing : kRunOrder) {
    if (!Selected(engine, pacing.step)) continue;
    backup.SetOptimization(view.steps[Index(pacing.step)].resultLabel.caption());
    RunStep(recorded, operations, pacing, searchComplete);
  }

  // Results: unselected steps grey without a mark; a step that did not fully work shows the
  // warning picture where its tick would be.
  for (Step step : kResultGreyOrder) {
    if (Selected(engine, step)) continue;
    view.steps[Index(step)].resultLabel.SetForeColor(kGrey);
    view.steps[Index(step)].resultTick.SetVisible(false);
  }
  for (const StepPacing& pacing : kRunOrder) {
    const StepOutcome outcome = engine.state.outcomes[Index(pacing.step)];
    if (outcome == StepOutcome::NotRun) continue;
    view.steps[Index(pacing.step)].resultTick.SetPicture(outcome == StepOutcome::Done ? "tick"
                                                                                      : "warning");
  }
  view.backupLabel.SetCaption(backup.folder().empty()
                                  ? std::string()
                                  : "A backup of all changes was saved in " + backup.folder());
  view.backupLabel.SetVisible(!backup.folder().empty());
  view.resultFrame.ZOrderFront();
  view.helpButton.SetVisible(true);
  view.form.SetCaption("Finished Optimizing");
  view.closeButton.SetBold(true);
  view.closeButton.SetFocus();
}

void RestartWindows(vu::platform::System& system) {
  system.Restart(EWX_SHUTDOWN | EWX_REBOOT, 1);
}

}  // namespace vu::optimizer
