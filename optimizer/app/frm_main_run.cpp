// frmMain's side of a run: what the engine reports, shown on the scanning and results pages, and
// the four timers that animate the scanning page. What the user sees advancing is paced by these
// timers, not by the work.
#include <cmath>

#include "optimizer/app/frm_main.h"
#include "optimizer/app/optimizer_app.h"
#include "optimizer/app/scan_animation.h"
#include "toolkit/timer_wait.h"

namespace vu::optimizer {

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
// The order of the results page's marks: the order the run performs the steps.
constexpr Step kResultMarkOrder[] = {Step::BrokenLinks, Step::RegistryMistakes, Step::VirtualCache,
                                     Step::DosBoot,     Step::UninstallInfo,    Step::Internet,
                                     Step::FileSystem,  Step::Startup,          Step::StartMenu,
                                     Step::OrphanedDlls};

float BarValue(const toolkit::Control& bar) {
  return static_cast<float>(bar.value());
}

}  // namespace

void FrmMain::SearchBegins() {
  app_.state().progress.startProgressStep = 1;
  scan.statusLabel.SetCaption("Initializing. . .");
  labelTimer.SetEnabled(true);
  scan.progressBar.SetValue(0);
  startProgressTimer.SetEnabled(true);
}

void FrmMain::SearchEnds() {
  scan.progressBar.SetValue(100);
  startProgressTimer.SetEnabled(false);
}

void FrmMain::ListSteps(const SelectionFlags& flags) {
  scan.progressBar.SetValue(0);
  scan.statusLabel.SetVisible(false);
  scan.statusLabel1.SetVisible(false);
  scan.statusLabel2.SetVisible(false);
  for (Step step : kProgressGreyOrder) {
    if (!common::IsSet(flags.For(step))) scan.steps[Index(step)].label.SetForeColor(kGrey);
  }
  for (Step step : kProgressShowOrder)
    scan.steps[Index(step)].label.SetVisible(true);
}

void FrmMain::StepBegins(Step step, common::VbBool randomPace, std::int32_t duration) {
  StartProgress(randomPace, duration);
  scan.steps[Index(step)].label.SetBold(true);
  // The registry step names the part of the registry and the key it is searching.
  if (step == Step::RegistryMistakes) {
    scan.linkNameLabel.SetVisible(true);
    scan.sectionLabel.SetVisible(true);
  }
}

void FrmMain::StepEnds(Step step, StepOutcome outcome) {
  LabelAndTick& line = scan.steps[Index(step)];
  line.label.SetBold(false);
  if (outcome == StepOutcome::NotNeeded) ShowNotNeeded(line);
  line.tick.SetVisible(true);
  if (step == Step::RegistryMistakes) {
    scan.linkNameLabel.SetVisible(false);
    scan.sectionLabel.SetVisible(false);
  }
}

void FrmMain::ShowResults(const SelectionFlags& flags,
                          const std::array<StepOutcome, kStepCount>& outcomes,
                          const std::string& backupFolder) {
  // Unselected steps grey without a mark; a step that did not fully work shows the warning
  // picture where its tick would be.
  for (Step step : kResultGreyOrder) {
    if (common::IsSet(flags.For(step))) continue;
    result.steps[Index(step)].label.SetForeColor(kGrey);
    result.steps[Index(step)].tick.SetVisible(false);
  }
  for (Step step : kResultMarkOrder) {
    const StepOutcome outcome = outcomes[Index(step)];
    if (outcome == StepOutcome::NotRun) continue;
    if (outcome == StepOutcome::NotNeeded) {
      ShowNotNeeded(result.steps[Index(step)]);
    } else {
      result.steps[Index(step)].tick.SetPicture(outcome == StepOutcome::Done ? "tick" : "warning");
    }
  }
  result.backupLabel.SetCaption(backupFolder.empty()
                                    ? std::string()
                                    : "A backup of all changes was saved in " + backupFolder);
  result.backupLabel.SetVisible(!backupFolder.empty());
  result.frame.ZOrderFront();
  helpButton.SetVisible(true);
  SetCaption("Finished Optimizing");
  closeButton.SetBold(true);
  closeButton.SetFocus();
}

void FrmMain::ShowNotNeeded(LabelAndTick& line) {
  line.label.SetForeColor(kGrey);
  line.tick.SetPicture("info");
  // The buttons' row is free while a run is shown: it says what the picture means.
  notNeededPicture.SetVisible(true);
  notNeededLabel.SetVisible(true);
}

bool FrmMain::BarFull() {
  return BarValue(scan.progressBar) == 100.0f;
}

void FrmMain::WaitForBar() {
  while (!BarFull())
    program().WaitForEvent();
}

void FrmMain::PaceBar(int intervalMs) {
  progressTimer.SetInterval(intervalMs);
}

void FrmMain::Pause(std::int16_t interval) {
  toolkit::WaitForTimer(program(), waitTimer, interval);
}

void FrmMain::Yield() {
  program().DoEvents();
}

void FrmMain::Randomize() {
  program().Randomize();
}

float FrmMain::Random() {
  return program().Rnd();
}

void FrmMain::ShowSection(const std::string& section) {
  scan.sectionLabel.SetCaption(section);
}

void FrmMain::ShowKey(const std::string& name) {
  scan.linkNameLabel.SetCaption(name);
}

void FrmMain::ShowFileLine(const std::string& line) {
  scan.tempLabel.SetCaption(line);
}

ScreenFigures FrmMain::Screen() {
  toolkit::Host& host = program().host();
  return ScreenFigures{host.ScreenWidthPixels(), host.ScreenHeightPixels(), host.TwipsPerPixelX(),
                       host.TwipsPerPixelY()};
}

void FrmMain::StartProgress(common::VbBool randomPace, std::int32_t duration) {
  ProgressState& progress = app_.state().progress;
  scan.progressBar.SetValue(0);
  progress.progressFixedPace = static_cast<common::VbBool>(~randomPace);
  progress.progressStep = 3;
  if (common::IsSet(randomPace)) {
    progress.progressInterval = 100;
  } else {
    progress.progressInterval = static_cast<std::int32_t>(
        std::floor(static_cast<double>(duration) / progress.progressStep / 20));
  }
  progressTimer.SetInterval(progress.progressInterval);
  progressTimer.SetEnabled(true);
}

void FrmMain::WaitTimerTick() {
  if (waitTimer.tag() == "off") {
    waitTimer.SetTag("on");
  } else {
    waitTimer.SetEnabled(false);
    waitTimer.SetTag("off");
  }
}

void FrmMain::LabelTimerTick() {
  scan.statusLabel.SetCaption(NextInDotCycle(scan.statusLabel.caption(), kInitializing));
  program().DoEvents();
}

void FrmMain::StartProgressTimerTick() {
  ProgressState& progress = app_.state().progress;
  const float v = BarValue(scan.progressBar);

  if (v + progress.startProgressStep >= 100) {
    scan.progressBar.SetValue(100);
    labelTimer.SetEnabled(false);
    Pause(1000);
    scan.progressBar.SetValue(0);
    scan.statusLabel.SetVisible(false);
    if (scan.statusLabel2.visible()) {
      // The third phase starts over.
    } else if (scan.statusLabel1.visible()) {
      scan.statusLabel1.SetVisible(false);
      scan.statusLabel2.SetVisible(true);
      progress.startProgressStep = 1;
      startProgressTimer.SetInterval(700);
    } else {
      scan.statusLabel1.SetVisible(true);
    }
    return;
  }

  scan.progressBar.SetValue(v + progress.startProgressStep);
  // The map line's dots move even while it is still hidden, during the first phase.
  if (scan.statusLabel1.visible()) {
    scan.statusLabel1.SetCaption(NextInDotCycle(scan.statusLabel1.caption(), kAnalysing));
  } else {
    scan.statusLabel2.SetCaption(NextInDotCycle(scan.statusLabel2.caption(), kCreatingMap));
  }
}

void FrmMain::ProgressTimerTick() {
  ProgressState& progress = app_.state().progress;

  if (!common::IsSet(progress.progressFixedPace)) {
    const double pace = static_cast<double>(program().Rnd()) * 300 + 200;
    progressTimer.SetInterval(static_cast<int>(std::nearbyint(pace)));
    progress.progressStep =
        static_cast<std::int32_t>(std::floor(static_cast<double>(program().Rnd()) * 6)) + 1;
  }

  const float v = BarValue(scan.progressBar);
  if (v + static_cast<float>(progress.progressStep) >= 100) {
    scan.progressBar.SetValue(100);
    progressTimer.SetEnabled(false);
  } else {
    scan.progressBar.SetValue(v + static_cast<float>(progress.progressStep));
  }
}

}  // namespace vu::optimizer
