#include "installer/frm_main.h"

#include "common/large_font.h"
#include "common/paths.h"
#include "common/vb.h"
#include "installer/frm_confirm.h"
#include "installer/mod_browse_for_folder.h"
#include "installer/mod_check.h"
#include "installer/mod_files.h"
#include "installer/mod_main.h"
#include "platform/status.h"

namespace vu::installer {

using toolkit::Control;
using toolkit::Design;
using toolkit::Kind;

namespace {

constexpr int kLeft = 2160;  // the text column, right of the picture
constexpr int kWidth = 4920;
constexpr int kButtonTop = 3480;
constexpr int kButtonWidth = 1215;
constexpr int kButtonHeight = 375;

constexpr const char* kMethodText =
    "Installer uses 2 different method of installing for 2 different kinds of install. ";

constexpr const char* kLicence =
    "VELLORIA UTILITIES SOFTWARE LICENCE AGREEMENT\r\n\r\n"
    "This is an agreement between you and Velloria Utilities. By installing or using the "
    "software you agree to be bound by its terms. If you do not agree, do not install the "
    "software.\r\n\r\n"
    "1. Licence. You may install and use one copy of the software on one computer.\r\n"
    "2. Restrictions. You may not rent, lease, sell or distribute the software, nor reverse "
    "engineer, decompile or disassemble it.\r\n"
    "3. No warranty. The software is provided \"as is\", without warranty of any kind. Make a "
    "backup of your system before you optimize it.\r\n"
    "4. Limitation of liability. In no event shall Velloria Utilities be liable for any damages "
    "arising out of the use of or inability to use the software.";

Design Text(int top, int height, const char* caption, bool visible = true) {
  return Design{.left = kLeft,
                .top = top,
                .width = kWidth,
                .height = height,
                .caption = caption,
                .visible = visible};
}

Design Button(int left, const char* caption) {
  return Design{.left = left,
                .top = kButtonTop,
                .width = kButtonWidth,
                .height = kButtonHeight,
                .caption = caption};
}

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
      picture1(Add(
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
      secondLabel(Add(Kind::Label, "secondLabel",
                      Text(1080, 615,
                           "If you do not wish to exit any programs you are currently running, "
                           "you do not have to. This install program runs just as well in "
                           "multi-task as not."))),
      frame3(Add(Kind::Frame, "Frame3", Text(1740, 900, "Please read the following carefully"))),
      text1(Add(Kind::TextBox, "Text1",
                Design{.left = 120,
                       .top = 240,
                       .width = kWidth - 240,
                       .height = 540,
                       .caption = kLicence,
                       .backColor = toolkit::kSysWindow,
                       .multiLine = true},
                &frame3)),
      label5(Add(Kind::Label, "Label5",
                 Text(2760, 255, "Click 'I Agree' to accept the agreement and continue."))),
      label4(Add(Kind::Label, "Label4",
                 Text(3015, 420,
                      "This program is protected by copyright law and international treaties."))),
      label1(Add(Kind::Label, "Label1",
                 Text(1200, 255, "Please select a method of installation and then click '&Next'.",
                      false))),
      shape2(Add(Kind::Shape, "Shape2",
                 Design{.left = kLeft,
                        .top = 1500,
                        .width = kWidth,
                        .height = 780,
                        .visible = false,
                        .foreColor = toolkit::kSysButtonShadow})),
      option1(Add(Kind::OptionButton, "Option1",
                  Design{.left = kLeft + 240,
                         .top = 1590,
                         .width = 3600,
                         .height = 255,
                         .caption = "Express Install (recommended)",
                         .visible = false,
                         .value = -1})),
      option2(Add(Kind::OptionButton, "Option2",
                  Design{.left = kLeft + 240,
                         .top = 1920,
                         .width = 3600,
                         .height = 255,
                         .caption = "Custom Install",
                         .visible = false})),
      label3(Add(Kind::Label, "Label3",
                 Text(2400, 615,
                      "Express Install will automatically select the installation directory and "
                      "place the Optimizer program icons in a \"Velloria Utilities\" menu.",
                      false))),
      frame2(Add(Kind::Frame, "Frame2", Text(1200, 660, "Directory for installation", false))),
      pathLabel(Add(Kind::Label, "pathLabel",
                    Design{.left = 120,
                           .top = 300,
                           .width = kWidth - 240,
                           .height = 255,
                           .visible = false,
                           .wordWrap = false},
                    &frame2)),
      command4(Add(Kind::CommandButton, "Command4",
                   Design{.left = kLeft + kWidth - kButtonWidth,
                          .top = 1980,
                          .width = kButtonWidth,
                          .height = kButtonHeight,
                          .caption = "&Browse...",
                          .visible = false})),
      command5(Add(Kind::CommandButton, "Command5",
                   Design{.left = kLeft + kWidth - kButtonWidth,
                          .top = 1980,
                          .width = kButtonWidth,
                          .height = kButtonHeight,
                          .caption = "Browse...",
                          .visible = false})),
      check1(Add(Kind::CheckBox, "Check1",
                 Design{.left = kLeft,
                        .top = 2040,
                        .width = 2400,
                        .height = 255,
                        .caption = "Use Menu icon",
                        .visible = false,
                        .value = 1})),
      frame1(Add(Kind::Frame, "Frame1", Text(1200, 1380, "Status", false))),
      statusLabel(Add(Kind::Label, "statusLabel",
                      Design{.left = 120,
                             .top = 300,
                             .width = kWidth - 240,
                             .height = 255,
                             .caption = "Checking for necessary disk space...",
                             .visible = false},
                      &frame1)),
      label2(Add(Kind::Label, "Label2",
                 Design{.left = 120,
                        .top = 720,
                        .width = 1200,
                        .height = 255,
                        .caption = "Progress",
                        .visible = false},
                 &frame1)),
      progressBar(Add(
          Kind::ProgressBar, "ProgressBar",
          Design{.left = 120, .top = 960, .width = kWidth - 240, .height = 300, .visible = false},
          &frame1)),
      label6(Add(Kind::Label, "Label6", Text(1800, 255, "Please click 'Finish\" to exit", false))),
      check2(Add(Kind::CheckBox, "Check2",
                 Design{.left = kLeft,
                        .top = 2160,
                        .width = 3000,
                        .height = 255,
                        .caption = "Run Optimizer after exit",
                        .visible = false,
                        .value = 1})),
      command3(Add(Kind::CommandButton, "Command3",
                   [] {
                     Design design = Button(3240, "&Back");
                     design.enabled = false;
                     return design;
                   }())),
      command2(Add(Kind::CommandButton, "Command2",
                   [] {
                     Design design = Button(4560, "I &Agree");
                     design.tabIndex = 0;
                     design.isDefault = true;
                     return design;
                   }())),
      command1(Add(Kind::CommandButton, "Command1", Button(5880, "&Cancel"))),
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
  command2.onClick = [this] { NextClick(); };
  command3.onClick = [this] { BackClick(); };
  command1.onClick = [this] { CancelClick(); };
  // The title bar's close box and Alt+F4 do what Cancel does, when it can be pressed.
  onClose = [this] { command1.UserClick(); };
  check1.onClick = [this] { Check1Click(); };
  check2.onClick = [this] { command2.SetFocus(); };
  option1.onClick = [this] { command2.SetFocus(); };
  option2.onClick = [this] { command2.SetFocus(); };
  onLostFocus = [this] { Show(); };

  InstallerSettings& settings = app_.settings();
  command4.onClick = [this, &settings] {
    BrowseClick("Please select installation directory", kBifStatusText, CSIDL_DESKTOP,
                CSIDL_PROGRAMS, settings.ProgramfilePath);
  };
  command5.onClick = [this, &settings] {
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
  progressBar.SetValue(0);
  if (!common::IsSet(common::IsLargeFontScreen(app_.machine().system()))) return;
  picture1.SetPicture(bigPic.picture());
  picture1.Move(100, 30);
  label5.Move(label5.left(), 2700);
}

void FrmMain::NextClick() {
  InstallerSettings& settings = app_.settings();
  const std::string page = caption();
  if (page == "Welcome") {
    command3.SetEnabled(true);
    mainLabel.SetAlign(toolkit::Align::Left);
    mainLabel.Move(mainLabel.left() + 100, mainLabel.top());
    SetCaption("Installation Method");
    mainLabel.SetCaption("Selecting installation method");
    firstLabel.SetCaption(std::string(kMethodText) + "These include :");
    for (Control* control : {&secondLabel, &frame3, &label4, &label5})
      control->SetVisible(false);
    command2.SetCaption("&Next");
    for (Control* control : {&label3, &shape2, &label1, &option1, &option2}) {
      control->SetVisible(true);
    }
  } else if (page == "Installation Method") {
    for (Control* control : {&option1, &option2, &label1, &label3, &shape2}) {
      control->SetVisible(false);
    }
    if (option1.value() != 0) {
      EnterInstallingPage();
      command1.SetFocus();
      command1.SetBold(true);
      StartInstallation();
    } else {
      for (Control* control : {&frame2, &pathLabel, &command4})
        control->SetVisible(true);
      SetCaption("Destination Directory");
      mainLabel.SetCaption("Selecting installation directory");
      firstLabel.SetCaption("Please choose a directory for installation :");
      pathLabel.SetCaption(settings.ProgramfilePath);
    }
  } else if (page == "Destination Directory") {
    settings.ProgramfilePath = pathLabel.caption();
    SetCaption("Program menu icons");
    mainLabel.SetCaption("Selecting programs menu");
    firstLabel.SetCaption("Please select the " + settings.ShortName + " menu folder :");
    pathLabel.SetCaption(settings.StartmenuPath);
    command5.SetVisible(true);
    check1.SetVisible(true);
    command4.SetVisible(false);
  } else if (page == "Program menu icons") {
    settings.UseMenuIcon = common::ToVbBool(check1.value() != 0);
    settings.StartmenuPath = pathLabel.caption();
    for (Control* control : {&frame2, &pathLabel, &command5, &check1}) {
      control->SetVisible(false);
    }
    EnterInstallingPage();
    command1.SetBold(true);
    StartInstallation();
  } else if (page == "Complete") {
    if (check2.value() != 0) {
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
  for (Control* control : {&label2, &statusLabel, &frame1, &progressBar}) {
    control->SetVisible(true);
  }
  command1.SetEnabled(true);
  command2.SetEnabled(false);
  command2.SetBold(false);
  command3.SetEnabled(false);
}

void FrmMain::BackClick() {
  const InstallerSettings& settings = app_.settings();
  const std::string page = caption();
  if (page == "Installation Method") {
    command3.SetEnabled(false);
    SetCaption("Welcome");
    mainLabel.SetCaption("Welcome to the Velloria™ " + settings.ShortName + " setup program.");
    mainLabel.SetAlign(toolkit::Align::Center);
    mainLabel.Move(mainLabel.left() - 100, mainLabel.top());
    firstLabel.SetCaption("This program will install " + settings.ShortName +
                          " onto your computer.");
    for (Control* control : {&secondLabel, &frame3, &label4, &label5})
      control->SetVisible(true);
    command2.SetCaption("I &Agree");
    for (Control* control : {&label3, &shape2, &label1, &option1, &option2}) {
      control->SetVisible(false);
    }
    command2.SetFocus();
  } else if (page == "Destination Directory") {
    for (Control* control : {&frame2, &pathLabel, &command4})
      control->SetVisible(false);
    for (Control* control : {&label3, &shape2, &label1, &option1, &option2}) {
      control->SetVisible(true);
    }
    SetCaption("Installation Method");
    mainLabel.SetCaption("Selecting installation method");
    firstLabel.SetCaption(std::string(kMethodText) + "There include :");
    command2.SetFocus();
  } else if (page == "Program menu icons") {
    for (Control* control : {&frame2, &pathLabel, &command4})
      control->SetVisible(true);
    SetCaption("Destination Directory");
    mainLabel.SetCaption("Selecting installation directory");
    firstLabel.SetCaption("Please choose a directory for installation");
    pathLabel.SetCaption(settings.ProgramfilePath);
    command5.SetVisible(false);
    check1.SetVisible(false);
    command2.SetFocus();
  }
}

void FrmMain::CancelClick() {
  command2.SetFocus();
  program().form<FrmConfirm>(app_).ShowModal();
}

void FrmMain::Check1Click() {
  const bool ticked = check1.value() != 0;
  for (Control* control : {&command4, &pathLabel, &frame2, &command5}) {
    control->SetEnabled(ticked);
  }
  command2.SetFocus();
}

void FrmMain::BrowseClick(const char* title, std::uint32_t flags, int root, int refused,
                          std::string& setting) {
  vu::platform::Shell& shell = app_.machine().shell();
  command2.SetFocus();
  pathLabel.SetCaption(BrowseForFolder(shell, native, title, flags, root));
  const std::string picked = pathLabel.caption();
  if (picked != GetSpecialFolderPath(shell, refused) && !picked.empty()) {
    setting = picked;
  } else {
    pathLabel.SetCaption(setting);
  }
}

}  // namespace vu::installer
