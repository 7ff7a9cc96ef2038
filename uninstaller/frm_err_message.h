// frmErrMessage: the fatal-error dialog, shown when the argument names no installed product.
// Its only action ends the program.
#pragma once

#include "toolkit/form.h"
#include "toolkit/program.h"

namespace vu::uninstaller {

class UninstallApp;

class FrmErrMessage : public toolkit::Form {
 public:
  FrmErrMessage(toolkit::Program& program, UninstallApp& app);

  toolkit::Control& picture1;
  toolkit::Control& closeButton;  // Command1

 protected:
  void Load() override;

 private:
  UninstallApp& app_;
};

}  // namespace vu::uninstaller
