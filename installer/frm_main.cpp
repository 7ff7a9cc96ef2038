#include "installer/frm_main.h"

#include "common/large_font.h"
#include "common/paths.h"
#include "common/special_folders.h"
#include "common/vb.h"
#include "installer/browse_for_folder.h"
#include "installer/frm_confirm.h"
#include "installer/frm_main_layout.h"
#include "installer/install_steps.h"
#include "installer/installer_app.h"
#include "platform/status.h"

namespace vu::installer {

using toolkit::Control;
using toolkit::Design;
using toolkit::Kind;
using namespace layout;

namespace {

constexpr const char* kMethodText =
    "Installer uses 2 different method of installing for 2 different kinds of install. ";

Design StageTimer(int interval) {
  return Design{.enabled = false, .interval = interval};
}

}  // namespace

FrmMain::FrmMain(toolkit::Program& program, InstallerApp& app)
    : Form(program, "frmMain",
           toolkit::FormDesign{.caption = "Welcome",
                               .clientWidth = 7200,
                               .clientHeight = 3975,
                               .border = toolkit::BorderStyle::FixedSingle,
                               .icon = "install"}),
      picture(Add(
          Kind::PictureBox, "Picture1",
          Design{
              .left = 120, .top = 120, .width = 1800, .height = 3450, .picture = "install_small"})),
      bigPic(Add(Kind::PictureBox, "bigPic",
                 Design{.left = 120,
                        .top = 120,
                        .width = 240,
                        .height = 240,
                        .visible = false,
                        .picture = "install_large"})),
      bigExc(Add(Kind::PictureBox, "bigExc",
                 Design{.left = 480,
                        .top = 120,
                        .width = 240,
                        .height = 240,
                        .visible = false,
                        .picture = "dialog_large"})),
      mainLabel(Add(Kind::Label, "mainLabel",
                    [] {
                      Design design =
                          Text(120, 360, "Welcome to the Velloria™ Optimizer setup program.");
                      design.bold = true;
                      // 9 pt: at 12 pt the heading does not fit the text column on one line.
                      design.fontSize = 9;
                      design.align = toolkit::Align::Center;
                      return design;
                    }())),
      firstLabel(Add(Kind::Label, "firstLabel",
                     Text(600, 435, "This program will install Optimizer onto your computer."))),
      welcome(WelcomePage::Make(*this)),
      method(MethodPage::Make(*this)),
      folder(FolderPage::Make(*this)),
      installing(InstallingPage::Make(*this)),
      complete(CompletePage::Make(*this)),
      backButton(Add(Kind::CommandButton, "Command3",
                     [] {
                       Design design = Button(3240, "&Back");
                       design.enabled = false;
                       return design;
                     }())),
      nextButton(Add(Kind::CommandButton, "Command2",
                     [] {
                       Design design = Button(4560, "I &Agree");
                       design.tabIndex = 0;
                       design.isDefault = true;
                       return design;
                     }())),
      cancelButton(Add(Kind::CommandButton, "Command1", Button(5880, "&Cancel"))),
      diskspaceTimer(Add(Kind::Timer, "diskspaceTimer", StageTimer(20))),
      systemFilesTimer(Add(Kind::Timer, "systemFilesTimer", StageTimer(1))),
      mainFileTimer(Add(Kind::Timer, "mainFileTimer", StageTimer(1))),
      menuTimer(Add(Kind::Timer, "menuTimer", StageTimer(1))),
      cleanupTimer(Add(Kind::Timer, "cleanupTimer", StageTimer(1))),
      pauseTimer(Add(Kind::Timer, "pauseTimer", StageTimer(0))),
      app_(app) {
  WireEvents();
}

void FrmMain::WireEvents() {
  nextButton.onClick = [this] { NextClick(); };
  backButton.onClick = [this] { BackClick(); };
  cancelButton.onClick = [this] { CancelClick(); };
  // The title bar's close box and Alt+F4 do what Cancel does, when it can be pressed.
  onClose = [this] { cancelButton.UserClick(); };
  folder.menuIconCheck.onClick = [this] { MenuIconClick(); };
  complete.runAfterCheck.onClick = [this] { nextButton.SetFocus(); };
  method.expressOption.onClick = [this] { nextButton.SetFocus(); };
  method.customOption.onClick = [this] { nextButton.SetFocus(); };
  onLostFocus = [this] { Show(); };

  InstallerSettings& settings = app_.settings();
  folder.browseFolderButton.onClick = [this, &settings] {
    BrowseClick("Please select installation directory", kBifStatusText, CSIDL_DESKTOP,
                CSIDL_PROGRAMS, settings.ProgramfilePath);
  };
  folder.browseMenuButton.onClick = [this, &settings] {
    BrowseClick("Select a menu folder", kBifDontGoBelowDomain, CSIDL_STARTMENU,
                CSIDL_COMMON_PROGRAMS, settings.StartmenuPath);
  };

  diskspaceTimer.onTick = [this] { DiskspaceTick(); };
  systemFilesTimer.onTick = [this] { SystemFilesTick(); };
  mainFileTimer.onTick = [this] { MainFileTick(); };
  menuTimer.onTick = [this] { MenuTick(); };
  cleanupTimer.onTick = [this] { CleanupTick(); };
  pauseTimer.onTick = [this] { pauseTimer.SetEnabled(false); };
}

void FrmMain::Load() {
  installing.progressBar.SetValue(0);
  if (!common::IsSet(common::IsLargeFontScreen(app_.machine().system()))) return;
  picture.SetPicture(bigPic.picture());
  picture.Move(100, 30);
  welcome.agreeLabel.Move(welcome.agreeLabel.left(), 2700);
}

void FrmMain::NextClick() {
  InstallerSettings& settings = app_.settings();
  const std::string page = caption();
  if (page == "Welcome") {
    backButton.SetEnabled(true);
    mainLabel.SetAlign(toolkit::Align::Left);
    mainLabel.Move(mainLabel.left() + 100, mainLabel.top());
    SetCaption("Installation Method");
    mainLabel.SetCaption("Selecting installation method");
    firstLabel.SetCaption(std::string(kMethodText) + "These include :");
    for (Control* control : {&welcome.secondLabel, &welcome.licenceFrame, &welcome.copyrightLabel,
                             &welcome.agreeLabel})
      control->SetVisible(false);
    nextButton.SetCaption("&Next");
    for (Control* control : {&method.expressLabel, &method.methodBox, &method.methodLabel,
                             &method.expressOption, &method.customOption}) {
      control->SetVisible(true);
    }
  } else if (page == "Installation Method") {
    for (Control* control : {&method.expressOption, &method.customOption, &method.methodLabel,
                             &method.expressLabel, &method.methodBox}) {
      control->SetVisible(false);
    }
    if (method.expressOption.value() != 0) {
      EnterInstallingPage();
      cancelButton.SetFocus();
      cancelButton.SetBold(true);
      StartInstallation();
    } else {
      for (Control* control : {&folder.folderFrame, &folder.pathLabel, &folder.browseFolderButton})
        control->SetVisible(true);
      SetCaption("Destination Directory");
      mainLabel.SetCaption("Selecting installation directory");
      firstLabel.SetCaption("Please choose a directory for installation :");
      folder.pathLabel.SetCaption(settings.ProgramfilePath);
    }
  } else if (page == "Destination Directory") {
    settings.ProgramfilePath = folder.pathLabel.caption();
    SetCaption("Program menu icons");
    mainLabel.SetCaption("Selecting programs menu");
    firstLabel.SetCaption("Please select the " + settings.ShortName + " menu folder :");
    folder.pathLabel.SetCaption(settings.StartmenuPath);
    folder.browseMenuButton.SetVisible(true);
    folder.menuIconCheck.SetVisible(true);
    folder.browseFolderButton.SetVisible(false);
  } else if (page == "Program menu icons") {
    settings.UseMenuIcon = common::ToVbBool(folder.menuIconCheck.value() != 0);
    settings.StartmenuPath = folder.pathLabel.caption();
    for (Control* control : {&folder.folderFrame, &folder.pathLabel, &folder.browseMenuButton,
                             &folder.menuIconCheck}) {
      control->SetVisible(false);
    }
    EnterInstallingPage();
    cancelButton.SetBold(true);
    StartInstallation();
  } else if (page == "Complete") {
    if (complete.runAfterCheck.value() != 0) {
      // A path with blanks is quoted, or the system would start "C:\Program".
      app_.machine().system().StartProgram(
          common::QuoteIfBlank(settings.ProgramfilePath + "\\" + settings.ProgramFile),
          SW_SHOWNORMAL);
    }
    this->program().End(0);
  }
}

void FrmMain::EnterInstallingPage() {
  const InstallerSettings& settings = app_.settings();
  SetCaption("Installation");
  mainLabel.SetCaption("Installing Velloria " + settings.ShortName);
  firstLabel.SetCaption("Installer is now placing the files needed to run " + settings.ShortName +
                        " onto your system");
  for (Control* control : {&installing.progressLabel, &installing.statusLabel,
                           &installing.statusFrame, &installing.progressBar}) {
    control->SetVisible(true);
  }
  cancelButton.SetEnabled(true);
  nextButton.SetEnabled(false);
  nextButton.SetBold(false);
  backButton.SetEnabled(false);
}

void FrmMain::BackClick() {
  const InstallerSettings& settings = app_.settings();
  const std::string page = caption();
  if (page == "Installation Method") {
    backButton.SetEnabled(false);
    SetCaption("Welcome");
    mainLabel.SetCaption("Welcome to the Velloria™ " + settings.ShortName + " setup program.");
    mainLabel.SetAlign(toolkit::Align::Center);
    mainLabel.Move(mainLabel.left() - 100, mainLabel.top());
    firstLabel.SetCaption("This program will install " + settings.ShortName +
                          " onto your computer.");
    for (Control* control : {&welcome.secondLabel, &welcome.licenceFrame, &welcome.copyrightLabel,
                             &welcome.agreeLabel})
      control->SetVisible(true);
    nextButton.SetCaption("I &Agree");
    for (Control* control : {&method.expressLabel, &method.methodBox, &method.methodLabel,
                             &method.expressOption, &method.customOption}) {
      control->SetVisible(false);
    }
    nextButton.SetFocus();
  } else if (page == "Destination Directory") {
    for (Control* control : {&folder.folderFrame, &folder.pathLabel, &folder.browseFolderButton})
      control->SetVisible(false);
    for (Control* control : {&method.expressLabel, &method.methodBox, &method.methodLabel,
                             &method.expressOption, &method.customOption}) {
      control->SetVisible(true);
    }
    SetCaption("Installation Method");
    mainLabel.SetCaption("Selecting installation method");
    firstLabel.SetCaption(std::string(kMethodText) + "There include :");
    nextButton.SetFocus();
  } else if (page == "Program menu icons") {
    for (Control* control : {&folder.folderFrame, &folder.pathLabel, &folder.browseFolderButton})
      control->SetVisible(true);
    SetCaption("Destination Directory");
    mainLabel.SetCaption("Selecting installation directory");
    firstLabel.SetCaption("Please choose a directory for installation");
    folder.pathLabel.SetCaption(settings.ProgramfilePath);
    folder.browseMenuButton.SetVisible(false);
    folder.menuIconCheck.SetVisible(false);
    nextButton.SetFocus();
  }
}

void FrmMain::CancelClick() {
  nextButton.SetFocus();
  program().form<FrmConfirm>(app_).ShowModal();
}

void FrmMain::MenuIconClick() {
  const bool ticked = folder.menuIconCheck.value() != 0;
  for (Control* control : {&folder.browseFolderButton, &folder.pathLabel, &folder.folderFrame,
                           &folder.browseMenuButton}) {
    control->SetEnabled(ticked);
  }
  nextButton.SetFocus();
}

void FrmMain::BrowseClick(const char* title, std::uint32_t flags, int root, int refused,
                          std::string& setting) {
  vu::platform::Shell& shell = app_.machine().shell();
  nextButton.SetFocus();
  folder.pathLabel.SetCaption(BrowseForFolder(shell, native, title, flags, root));
  const std::string picked = folder.pathLabel.caption();
  if (picked != common::GetSpecialFolderPath(shell, refused) && !picked.empty()) {
    setting = picked;
  } else {
    folder.pathLabel.SetCaption(setting);
  }
}

}  // namespace vu::installer
