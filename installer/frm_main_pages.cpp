// The pages of frmMain: each page's controls, made in the order the form shows and tabs them.
#include "installer/frm_main.h"

#include "installer/frm_main_layout.h"

namespace vu::installer {

using toolkit::Control;
using toolkit::Design;
using toolkit::Kind;
using namespace layout;

namespace {

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

}  // namespace

WelcomePage WelcomePage::Make(toolkit::Form& form) {
  Control& secondLabel =
      form.Add(Kind::Label, "secondLabel",
               Text(1080, 615,
                    "If you do not wish to exit any programs you are currently running, "
                    "you do not have to. This install program runs just as well in "
                    "multi-task as not."));
  Control& licenceFrame =
      form.Add(Kind::Frame, "Frame3", Text(1740, 900, "Please read the following carefully"));
  Control& licenceText = form.Add(Kind::TextBox, "Text1",
                                  Design{.left = 120,
                                         .top = 240,
                                         .width = kWidth - 240,
                                         .height = 540,
                                         .caption = kLicence,
                                         .backColor = toolkit::kSysWindow,
                                         .multiLine = true},
                                  &licenceFrame);
  Control& agreeLabel =
      form.Add(Kind::Label, "Label5",
               Text(2760, 255, "Click 'I Agree' to accept the agreement and continue."));
  Control& copyrightLabel = form.Add(
      Kind::Label, "Label4",
      Text(3015, 420, "This program is protected by copyright law and international treaties."));
  return WelcomePage{secondLabel, licenceFrame, licenceText, agreeLabel, copyrightLabel};
}

MethodPage MethodPage::Make(toolkit::Form& form) {
  Control& methodLabel = form.Add(
      Kind::Label, "Label1",
      Text(1200, 255, "Please select a method of installation and then click '&Next'.", false));
  Control& methodBox = form.Add(Kind::Shape, "Shape2",
                                Design{.left = kLeft,
                                       .top = 1500,
                                       .width = kWidth,
                                       .height = 780,
                                       .visible = false,
                                       .foreColor = toolkit::kSysButtonShadow});
  Control& expressOption = form.Add(Kind::OptionButton, "Option1",
                                    Design{.left = kLeft + 240,
                                           .top = 1590,
                                           .width = 3600,
                                           .height = 255,
                                           .caption = "Express Install (recommended)",
                                           .visible = false,
                                           .value = -1});
  Control& customOption = form.Add(Kind::OptionButton, "Option2",
                                   Design{.left = kLeft + 240,
                                          .top = 1920,
                                          .width = 3600,
                                          .height = 255,
                                          .caption = "Custom Install",
                                          .visible = false});
  Control& expressLabel =
      form.Add(Kind::Label, "Label3",
               Text(2400, 615,
                    "Express Install will automatically select the installation directory and "
                    "place the Optimizer program icons in a \"Velloria Utilities\" menu.",
                    false));
  return MethodPage{methodLabel, methodBox, expressOption, customOption, expressLabel};
}

FolderPage FolderPage::Make(toolkit::Form& form) {
  Control& folderFrame =
      form.Add(Kind::Frame, "Frame2", Text(1200, 660, "Directory for installation", false));
  Control& pathLabel = form.Add(Kind::Label, "pathLabel",
                                Design{.left = 120,
                                       .top = 300,
                                       .width = kWidth - 240,
                                       .height = 255,
                                       .visible = false,
                                       .wordWrap = false,
                                       .compactPath = true},
                                &folderFrame);
  Control& browseFolderButton = form.Add(Kind::CommandButton, "Command4",
                                         Design{.left = kLeft + kWidth - kButtonWidth,
                                                .top = 1980,
                                                .width = kButtonWidth,
                                                .height = kButtonHeight,
                                                .caption = "&Browse...",
                                                .visible = false});
  Control& browseMenuButton = form.Add(Kind::CommandButton, "Command5",
                                       Design{.left = kLeft + kWidth - kButtonWidth,
                                              .top = 1980,
                                              .width = kButtonWidth,
                                              .height = kButtonHeight,
                                              .caption = "Browse...",
                                              .visible = false});
  Control& menuIconCheck = form.Add(Kind::CheckBox, "Check1",
                                    Design{.left = kLeft,
                                           .top = 2040,
                                           .width = 2400,
                                           .height = 255,
                                           .caption = "Use Menu icon",
                                           .visible = false,
                                           .value = 1});
  return FolderPage{folderFrame, pathLabel, browseFolderButton, browseMenuButton, menuIconCheck};
}

InstallingPage InstallingPage::Make(toolkit::Form& form) {
  Control& statusFrame = form.Add(Kind::Frame, "Frame1", Text(1200, 1380, "Status", false));
  Control& statusLabel = form.Add(Kind::Label, "statusLabel",
                                  Design{.left = 120,
                                         .top = 300,
                                         .width = kWidth - 240,
                                         .height = 255,
                                         .caption = "Checking for necessary disk space...",
                                         .visible = false},
                                  &statusFrame);
  Control& progressLabel = form.Add(Kind::Label, "Label2",
                                    Design{.left = 120,
                                           .top = 720,
                                           .width = 1200,
                                           .height = 255,
                                           .caption = "Progress",
                                           .visible = false},
                                    &statusFrame);
  Control& progressBar = form.Add(
      Kind::ProgressBar, "ProgressBar",
      Design{.left = 120, .top = 960, .width = kWidth - 240, .height = 300, .visible = false},
      &statusFrame);
  return InstallingPage{statusFrame, statusLabel, progressLabel, progressBar};
}

CompletePage CompletePage::Make(toolkit::Form& form) {
  Control& finishLabel =
      form.Add(Kind::Label, "Label6", Text(1800, 255, "Please click 'Finish\" to exit", false));
  Control& runAfterCheck = form.Add(Kind::CheckBox, "Check2",
                                    Design{.left = kLeft,
                                           .top = 2160,
                                           .width = 3000,
                                           .height = 255,
                                           .caption = "Run Optimizer after exit",
                                           .visible = false,
                                           .value = 1});
  return CompletePage{finishLabel, runAfterCheck};
}

}  // namespace vu::installer
