// The installing page of frmMain: five timed stages, each animating the bar and handing over to
// the next, and the Complete page the last one sets up.
#include <string>

#include "installer/frm_main.h"
#include "installer/mod_files.h"
#include "installer/mod_main.h"
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
  const double value = progressBar.value();
  if (value + step > 100) {
    progressBar.SetValue(100);
    timer.SetEnabled(false);
    return true;
  }
  progressBar.SetValue(value + step);
  return false;
}

int FrmMain::RandomStep() {
  program().Randomize();
  return static_cast<int>(program().Rnd() * 15);
}

void FrmMain::DiskspaceTick() {
  if (!StageStep(diskspaceTimer, 2)) return;
  Pause(700);
  progressBar.SetValue(0);
  statusLabel.SetCaption("Extracting system files...");
  systemFilesTimer.SetEnabled(true);
  InstallSystemFiles(app_);
}

void FrmMain::SystemFilesTick() {
  if (!StageStep(systemFilesTimer, RandomStep())) return;
  progressBar.SetValue(0);
  statusLabel.SetCaption("Extracting program files...");
  mainFileTimer.SetEnabled(true);
  InstallProgramFiles(app_);
}

void FrmMain::MainFileTick() {
  if (!StageStep(mainFileTimer, RandomStep())) return;
  progressBar.SetValue(0);
  if (common::IsSet(app_.settings().UseMenuIcon)) {
    statusLabel.SetCaption("Creating menu system...");
    menuTimer.SetEnabled(true);
    CreateProgramMenu(app_);
  } else {
    statusLabel.SetCaption("Finishing up...");
    cleanupTimer.SetEnabled(true);
  }
}

void FrmMain::MenuTick() {
  if (!StageStep(menuTimer, RandomStep())) return;
  progressBar.SetValue(0);
  statusLabel.SetCaption("Finishing up...");
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
  for (Control* control : {&label2, &progressBar, &statusLabel, &frame1}) {
    control->SetVisible(false);
  }
  label6.SetVisible(true);
  SetCaption("Complete");
  if (missing.empty()) {
    mainLabel.SetCaption("Installation Successful");
    firstLabel.SetCaption(settings.ShortName + " has been successfully installed onto your system");
    check2.SetVisible(true);
  } else {
    // Without the program or its uninstaller the product is not usable: say so, name what is
    // missing and do not offer to start a program that is not there.
    mainLabel.SetCaption("Installation Incomplete");
    firstLabel.SetCaption(settings.ShortName +
                          " could not be installed completely. These files could not be placed:");
    std::string names;
    for (const std::string& path : missing)
      names += (names.empty() ? "" : "\r\n") + path;
    secondLabel.SetCaption(names);
    secondLabel.SetVisible(true);
    check2.SetValue(0);
    check2.SetVisible(false);
  }
  command2.SetCaption("&Finish");
  command1.SetEnabled(false);
  command3.SetEnabled(false);
  command1.SetBold(false);
  command2.SetEnabled(true);
  command2.SetFocus();
  command2.SetBold(true);
}

}  // namespace vu::installer
