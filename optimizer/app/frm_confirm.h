// frmConfirm: asks whether the user really wants to leave before the optimization is complete.
#pragma once

#include "toolkit/form.h"
#include "toolkit/program.h"

namespace vu::optimizer {

class OptimizerApp;

class FrmConfirm : public toolkit::Form {
 public:
  FrmConfirm(toolkit::Program& program, OptimizerApp& app);

  toolkit::Control& picture1;
  toolkit::Control& resumeButton;  // Command2
  toolkit::Control& exitButton;    // Command1

 protected:
  void Load() override;

 private:
  OptimizerApp& app_;
};

}  // namespace vu::optimizer
