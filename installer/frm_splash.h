// frmSplash: "Setup" with a percentage that climbs to 30 in steps of 2, then at random to 100, and
// a bar that follows the percentage. At "100 %" it gives way to the background and the wizard.
#pragma once

#include <string>
#include <string_view>

#include "toolkit/form.h"
#include "toolkit/program.h"

namespace vu::installer {

class InstallerApp;

// The caption's number: the numeric value of its first three characters (" 30 %" reads 30).
int PercentOf(std::string_view caption);
// A blank (the sign place of a non-negative number), the number, " %".
std::string PercentText(int percent);

class FrmSplash : public toolkit::Form {
 public:
  FrmSplash(toolkit::Program& program, InstallerApp& app);

  toolkit::Control& preparingLabel;
  toolkit::Control& percentLabel;
  toolkit::Control& progressBorder;
  toolkit::Control& progressBar;  // ProgressBar
  toolkit::Control& picture;
  toolkit::Control& bigVL;
  toolkit::Control& incrementTimer;
  toolkit::Control& progressTimer;

  // Sets percentLabel's caption and, with it, the bar's width.
  void SetPercentCaption(std::string caption);

 protected:
  void Load() override;

 private:
  void IncrementTick();
  void ProgressTick();

  InstallerApp& app_;
};

}  // namespace vu::installer
