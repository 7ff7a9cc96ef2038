// frmMain: the Optimizer's wizard window. Five panels stacked in one place; the page the user is
// on is known only from the window caption and, on the selection pages, the title label. It shows
// a run's progress on its scanning and results pages.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "optimizer/app/frm_main_panels.h"
#include "optimizer/engine/run_progress.h"
#include "toolkit/form.h"
#include "toolkit/program.h"

namespace vu::optimizer {

class OptimizerApp;

class FrmMain : public toolkit::Form, public RunProgress {
 public:
  FrmMain(toolkit::Program& program, OptimizerApp& app);

  // What a run reports (frm_main_run.cpp).
  void SearchBegins() override;
  void SearchEnds() override;
  void ListSteps(const SelectionFlags& flags) override;
  void StepBegins(Step step, common::VbBool randomPace, std::int32_t duration) override;
  void StepEnds(Step step, StepOutcome outcome) override;
  void ShowResults(const SelectionFlags& flags, const std::array<StepOutcome, kStepCount>& outcomes,
                   const std::string& backupFolder) override;
  bool BarFull() override;
  void WaitForBar() override;
  void PaceBar(int intervalMs) override;
  void Pause(std::int16_t interval) override;
  void Yield() override;
  void Randomize() override;
  float Random() override;
  void ShowSection(const std::string& section) override;
  void ShowKey(const std::string& name) override;
  void ShowFileLine(const std::string& line) override;
  ScreenFigures Screen() override;

  // Starts the bar for one step: random pace (the duration is then ignored) or a fixed pace that
  // fills the bar in 34 ticks of duration / 3 / 20 milliseconds.
  void StartProgress(common::VbBool randomPace, std::int32_t duration);
  // The timers' ticks. waitTimer: the first tick marks the pause "on", the second ends it.
  void WaitTimerTick();
  // labelTimer: cycles statusLabel's dots, then yields once.
  void LabelTimerTick();
  // startProgressTimer: the three-phase start-up animation that runs while shortcuts are found.
  void StartProgressTimerTick();
  // progressTimer: fills the bar to exactly 100 at a fixed or random pace, then stops.
  void ProgressTimerTick();

  toolkit::Control& smallPic;
  toolkit::Control& bigMain;
  toolkit::Control& bigExc;
  toolkit::Control& line3;  // the separator above the buttons: grey
  toolkit::Control& line2;  // and the scroll-bar colour
  ResultPanel result;
  ScanPanel scan;
  SelectionPanel selection;
  CustomPanel custom;
  StartPanel start;
  toolkit::Control& helpButton;
  toolkit::Control& backButton;
  toolkit::Control& nextButton;
  toolkit::Control& closeButton;
  toolkit::Control& waitTimer;
  toolkit::Control& labelTimer;
  toolkit::Control& startProgressTimer;
  toolkit::Control& progressTimer;
  // What the information picture on a step's line means, in the buttons' row during a run.
  toolkit::Control& notNeededPicture;
  toolkit::Control& notNeededLabel;

 protected:
  void Load() override;

 private:
  void WireEvents();
  void NextClick();
  void BackClick();
  void CheckClick();
  void CloseClick();
  void HelpClick();
  void StartRun();
  // Shows selection page |index| (0-based); |back| when arriving from the page after it.
  void ShowPage(int index, bool back);
  // Greys a step's line and marks it with the information picture.
  void ShowNotNeeded(LabelAndTick& line);

  OptimizerApp& app_;
};

}  // namespace vu::optimizer
