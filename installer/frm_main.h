// frmMain: the installer's wizard. One form whose pages are sets of shown controls; the page the
// wizard is on is its caption, which the Next and Back handlers compare. The installing page is
// driven by five stage timers that hand over to one another and end on the Complete page.
#pragma once

#include <cstdint>
#include <string>

#include "toolkit/form.h"
#include "toolkit/program.h"

namespace vu::installer {

class InstallerApp;

class FrmMain : public toolkit::Form {
 public:
  FrmMain(toolkit::Program& program, InstallerApp& app);

  toolkit::Control& picture1;
  toolkit::Control& bigPic;
  toolkit::Control& bigExc;
  toolkit::Control& mainLabel;
  toolkit::Control& firstLabel;
  toolkit::Control& secondLabel;
  toolkit::Control& frame3;
  toolkit::Control& text1;
  toolkit::Control& label5;
  toolkit::Control& label4;
  toolkit::Control& label1;
  toolkit::Control& shape2;
  toolkit::Control& option1;
  toolkit::Control& option2;
  toolkit::Control& label3;
  toolkit::Control& frame2;
  toolkit::Control& pathLabel;
  toolkit::Control& command4;  // "&Browse..." for the install directory
  toolkit::Control& command5;  // "Browse..." for the menu folder
  toolkit::Control& check1;    // "Use Menu icon"
  toolkit::Control& frame1;
  toolkit::Control& statusLabel;
  toolkit::Control& label2;
  toolkit::Control& progressBar;  // ProgressBar
  toolkit::Control& label6;
  toolkit::Control& check2;    // "Run Optimizer after exit"
  toolkit::Control& command3;  // Back
  toolkit::Control& command2;  // Next / I Agree / Finish
  toolkit::Control& command1;  // Cancel
  toolkit::Control& diskspaceTimer;
  toolkit::Control& systemFilesTimer;
  toolkit::Control& mainFileTimer;
  toolkit::Control& menuTimer;
  toolkit::Control& cleanupTimer;
  toolkit::Control& pauseTimer;

  // Starts the first installation stage.
  void StartInstallation();
  // Waits |ms| on pauseTimer while events go on.
  void Pause(std::int16_t ms);

 protected:
  void Load() override;

 private:
  void WireEvents();
  void NextClick();
  void BackClick();
  void CancelClick();
  void Check1Click();
  // A Browse button: the picked folder goes into |setting| unless it is empty or the refused
  // special folder's path; otherwise the label shows the setting again.
  void BrowseClick(const char* title, std::uint32_t flags, int root, int refused,
                   std::string& setting);
  void EnterInstallingPage();
  void ShowComplete();

  // The stage pattern: the bar grows by |step|; past 100 it is full, |timer| stops and the stage
  // ends. Returns whether it ended.
  bool StageStep(toolkit::Control& timer, int step);
  // The random step of stages 2 to 5: 0 to 14.
  int RandomStep();
  void DiskspaceTick();
  void SystemFilesTick();
  void MainFileTick();
  void MenuTick();
  void CleanupTick();

  InstallerApp& app_;
};

}  // namespace vu::installer
