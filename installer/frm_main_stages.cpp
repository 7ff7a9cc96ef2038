// The installing page of frmMain: five timed stages, each animating the bar and handing over to
// the next, and the Complete page the last one sets up.
#include <string>

#include "installer/frm_main.h"
#include "installer/install_steps.h"
#include "installer/installer_app.h"
#include "installer/uninstall_record.h"
#include "toolkit/timer_wait.h"

namespace vu::installer {

using toolkit::Control;

void FrmMain::StartInstallation() {
  diskspaceTimer.SetEnabled(true);
}

void FrmMain::Pause(std::int16_t ms) {
  toolkit::WaitForTimer(program(), pauseTimer, ms);
}

bool FrmMain::StageStep(Control& timer, int step) {
  const double value = installing.progressBar.value();
  if (value + step > 100) {
    installing.progressBar.SetValue(100);
    timer.SetEnabled(false);
    return true;
  }
  installing.progressBar.SetValue(value + step);
  return false;
}

int FrmMain::RandomStep() {
  program().Randomize();
  return static_cast<int>(program().Rnd() * 15);
}

void FrmMain::DiskspaceTick() {
  if (!StageStep(diskspaceTimer, 2)) return;
  Pause(700);
  installing.progressBar.SetValue(0);
  installing.statusLabel.SetCaption("Extracting system files...");
  systemFilesTimer.SetEnabled(true);
  InstallSystemFiles(app_);
}

void FrmMain::SystemFilesTick() {
  if (!StageStep(systemFilesTimer, RandomStep())) return;
  installing.progressBar.SetValue(0);
  installing.statusLabel.SetCaption("Extracting program files...");
  mainFileTimer.SetEnabled(true);
  InstallProgramFiles(app_);
}

void FrmMain::MainFileTick() {
  if (!StageStep(mainFileTimer, RandomStep())) return;
  installing.progressBar.SetValue(0);
  if (common::IsSet(app_.settings().UseMenuIcon)) {
    installing.statusLabel.SetCaption("Creating menu system...");
    menuTimer.SetEnabled(true);
    CreateProgramMenu(app_);
  } else {
    installing.statusLabel.SetCaption("Finishing up...");
    cleanupTimer.SetEnabled(true);
  }
}

void FrmMain::MenuTick() {
  if (!StageStep(menuTimer, RandomStep())) return;
  installing.progressBar.SetValue(0);
  installing.statusLabel.SetCaption("Finishing up...");
  cleanupTimer.SetEnabled(true);
}

void FrmMain::CleanupTick() {
  if (!StageStep(cleanupTimer, RandomStep())) return;
  WriteUninstallRecord(app_);
  RemoveSourceFiles(app_);
  ShowComplete();
}

void FrmMain::ShowComplete() {
  const InstallerSettings& settings = app_.settings();
  const std::vector<std::string>& missing = app_.outcome().missing;
  for (Control* control : {&installing.progressLabel, &installing.progressBar,
                           &installing.statusLabel, &installing.statusFrame}) {
    control->SetVisible(false);
  }
  complete.finishLabel.SetVisible(true);
  SetCaption("Complete");
  if (missing.empty()) {
    mainLabel.SetCaption("Installation Successful");
    firstLabel.SetCaption(settings.ShortName + " has been successfully installed onto your system");
    complete.runAfterCheck.SetVisible(true);
  } else {
    // Without the program or its uninstaller the product is not usable: say so, name what is
    // missing and do not offer to start a program that is not there.
    mainLabel.SetCaption("Installation Incomplete");
    firstLabel.SetCaption(settings.ShortName +
                          " could not be installed completely. These files could not be placed:");
    std::string names;
    for (const std::string& path : missing)
      names += (names.empty() ? "" : "\r\n") + path;
    welcome.secondLabel.SetCaption(names);
    welcome.secondLabel.SetVisible(true);
    complete.runAfterCheck.SetValue(0);
    complete.runAfterCheck.SetVisible(false);
  }
  nextButton.SetCaption("&Finish");
  cancelButton.SetEnabled(false);
  backButton.SetEnabled(false);
  cancelButton.SetBold(false);
  nextButton.SetEnabled(true);
  nextButton.SetFocus();
  nextButton.SetBold(true);
}

}  // namespace vu::installer
