// The controls of the wizard's scanning and results pages that a run drives. The wizard's form
// hands them over by reference, so that the engine needs the toolkit only, not the form itself.
#pragma once

#include <array>

#include "optimizer/engine/state.h"
#include "toolkit/control.h"
#include "toolkit/form.h"

namespace vu::optimizer {

// One step's four controls: its label and tick on the scanning page, and on the results page.
struct StepView {
  toolkit::Control& progressLabel;
  toolkit::Control& progressTick;
  toolkit::Control& resultLabel;
  toolkit::Control& resultTick;
};

struct RunView {
  toolkit::Form& form;  // frmMain: its caption marks the results page

  toolkit::Control& statusLabel;
  toolkit::Control& statusLabel1;
  toolkit::Control& statusLabel2;
  toolkit::Control& progressBar;

  toolkit::Control& labelTimer;
  toolkit::Control& startProgressTimer;
  toolkit::Control& progressTimer;
  toolkit::Control& waitTimer;

  toolkit::Control& linkNameLabel;
  toolkit::Control& sectionLabel;
  toolkit::Control& tempLabel;

  toolkit::Control& resultFrame;
  toolkit::Control& helpButton;
  toolkit::Control& closeButton;
  // The line under the results page's note that names the backup folder (empty when none).
  toolkit::Control& backupLabel;

  // Indexed by Index(Step).
  std::array<StepView, kStepCount> steps;
};

}  // namespace vu::optimizer
