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

// The welcome page: the licence agreement to accept.
struct WelcomePage {
  static WelcomePage Make(toolkit::Form& form);
  toolkit::Control& secondLabel;
  toolkit::Control& licenceFrame;    // Frame3
  toolkit::Control& licenceText;     // Text1
  toolkit::Control& agreeLabel;      // Label5
  toolkit::Control& copyrightLabel;  // Label4
};

// The installation method page: Express or Custom.
struct MethodPage {
  static MethodPage Make(toolkit::Form& form);
  toolkit::Control& methodLabel;    // Label1
  toolkit::Control& methodBox;      // Shape2
  toolkit::Control& expressOption;  // Option1
  toolkit::Control& customOption;   // Option2
  toolkit::Control& expressLabel;   // Label3
};

// The two folder pages of a Custom install: the install directory, then the menu folder.
struct FolderPage {
  static FolderPage Make(toolkit::Form& form);
  toolkit::Control& folderFrame;  // Frame2
  toolkit::Control& pathLabel;
  toolkit::Control& browseFolderButton;  // Command4: "&Browse..." for the install directory
  toolkit::Control& browseMenuButton;    // Command5: "Browse..." for the menu folder
  toolkit::Control& menuIconCheck;       // Check1: "Use Menu icon"
};

// The installing page: the stage being done and its bar.
struct InstallingPage {
  static InstallingPage Make(toolkit::Form& form);
  toolkit::Control& statusFrame;  // Frame1
  toolkit::Control& statusLabel;
  toolkit::Control& progressLabel;  // Label2
  toolkit::Control& progressBar;    // ProgressBar
};

// The Complete page.
struct CompletePage {
  static CompletePage Make(toolkit::Form& form);
  toolkit::Control& finishLabel;    // Label6
  toolkit::Control& runAfterCheck;  // Check2: "Run Optimizer after exit"
};

class FrmMain : public toolkit::Form {
 public:
  FrmMain(toolkit::Program& program, InstallerApp& app);

  // On every page: the picture (Picture1), its large-font variants and the two headings.
  toolkit::Control& picture;
  toolkit::Control& bigPic;
  toolkit::Control& bigExc;
  toolkit::Control& mainLabel;
  toolkit::Control& firstLabel;
  WelcomePage welcome;
  MethodPage method;
  FolderPage folder;
  InstallingPage installing;
  CompletePage complete;
  toolkit::Control& backButton;    // Command3
  toolkit::Control& nextButton;    // Command2: Next / I Agree / Finish
  toolkit::Control& cancelButton;  // Command1
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
  void MenuIconClick();
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
