// frmConfirm: "Exit Setup" asks whether the user really wants to leave the installation.
#pragma once

#include "toolkit/form.h"
#include "toolkit/program.h"

namespace vu::installer {

class InstallerApp;

class FrmConfirm : public toolkit::Form {
 public:
  FrmConfirm(toolkit::Program& program, InstallerApp& app);

  toolkit::Control& picture;
  toolkit::Control& resumeButton;  // Command2
  toolkit::Control& exitButton;    // Command1

 protected:
  void Load() override;

 private:
  InstallerApp& app_;
};

}  // namespace vu::installer
