// frmMustSelect: tells the user that a custom run needs at least one optimization selected.
#pragma once

#include "toolkit/form.h"
#include "toolkit/program.h"

namespace vu::optimizer {

class OptimizerApp;

class FrmMustSelect : public toolkit::Form {
 public:
  FrmMustSelect(toolkit::Program& program, OptimizerApp& app);

  toolkit::Control& picture1;
  toolkit::Control& understoodButton;  // Command1

 protected:
  void Load() override;

 private:
  OptimizerApp& app_;
};

}  // namespace vu::optimizer
