// frmConfirm: asks the user to confirm the uninstallation. Yes runs the removal on the progress
// form; No ends the program with nothing removed.
#pragma once

#include "toolkit/form.h"
#include "toolkit/program.h"

namespace vu::uninstaller {

class UninstallApp;

class FrmConfirm : public toolkit::Form {
 public:
  FrmConfirm(toolkit::Program& program, UninstallApp& app);

  toolkit::Control& picture1;
  toolkit::Control& label1;     // "Uninstall " + short name
  toolkit::Control& label3;     // "You are about to uninstall " + display name
  toolkit::Control& yesButton;  // Command1
  toolkit::Control& noButton;   // Command2

 protected:
  void Load() override;

 private:
  void YesClick();

  UninstallApp& app_;
};

}  // namespace vu::uninstaller
