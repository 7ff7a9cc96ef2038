// The five stacked panels of the wizard window and the controls on them. Each builder adds its
// panel and contents to frmMain and hands back the controls the wizard and the run work with.
#pragma once

#include <array>
#include <string_view>

#include "optimizer/app/palette.h"
#include "optimizer/engine/state.h"
#include "toolkit/control.h"
#include "toolkit/form.h"

namespace vu::optimizer {

// Welcome page.
struct StartPanel {
  toolkit::Control& frame;  // startFrame
  toolkit::Control& welcomeOption1;
  toolkit::Control& welcomeOption2;
  toolkit::Control& line1;  // the title separator's grey line
  toolkit::Control& line4;  // and its lighter partner
};

// Custom page.
struct CustomPanel {
  toolkit::Control& frame;  // customFrame
};

// The ten selection pages share one panel.
struct SelectionPanel {
  toolkit::Control& frame;  // customTypesFrame
  toolkit::Control& titleLabel;
  toolkit::Control& mainLabel;
  toolkit::Control& complainLabel;
  toolkit::Control& removeLabel;
  toolkit::Control& checkLabel;
  toolkit::Control& customBottomLabel;
  // Shown on the pages of steps that the running Windows has no use for.
  toolkit::Control& notNeededMark;
  toolkit::Control& notNeededLine;
};

struct LabelAndTick {
  toolkit::Control& label;
  toolkit::Control& tick;
};

// Scanning page.
struct ScanPanel {
  toolkit::Control& frame;  // findspaceFrame
  toolkit::Control& statusLabel;
  toolkit::Control& statusLabel1;
  toolkit::Control& statusLabel2;
  toolkit::Control& progressBar;
  toolkit::Control& linkNameLabel;
  toolkit::Control& sectionLabel;
  toolkit::Control& tempLabel;
  std::array<LabelAndTick, kStepCount> steps;  // by Index(Step)
};

// Results page.
struct ResultPanel {
  toolkit::Control& frame;                     // resultFrame
  std::array<LabelAndTick, kStepCount> steps;  // by Index(Step)
  toolkit::Control& backupLabel;
  toolkit::Control& bootCheck;
};

// The legend of the information picture that marks a step with nothing to do.
inline constexpr std::string_view kNotNeededText = "not needed on this version of Windows";
// The line a selection page gains for such a step.
inline constexpr std::string_view kNothingToDoText =
    "This step has nothing to do on this version of Windows.";

StartPanel AddStartFrame(toolkit::Form& form);
CustomPanel AddCustomFrame(toolkit::Form& form);
SelectionPanel AddCustomTypesFrame(toolkit::Form& form);
ScanPanel AddFindspaceFrame(toolkit::Form& form);
ResultPanel AddResultFrame(toolkit::Form& form);

}  // namespace vu::optimizer
