#include "installer/frm_confirm.h"

#include "common/large_font.h"
#include "installer/frm_main.h"
#include "installer/installer_app.h"
#include "toolkit/dialog_parts.h"

namespace vu::installer {

using toolkit::Design;
using toolkit::Kind;

FrmConfirm::FrmConfirm(toolkit::Program& program, InstallerApp& app)
    : Form(program, "frmConfirm", toolkit::DialogDesign("Exit Setup", 4860, 2160)),
      picture(Add(
          Kind::PictureBox, "Picture1",
          Design{.left = 40, .top = 0, .width = 1185, .height = 1455, .picture = "dialog_small"})),
      resumeButton(Add(Kind::CommandButton, "Command2",
                       Design{.left = 2280,
                              .top = 1680,
                              .width = 1095,
                              .height = 375,
                              .caption = "Resume",
                              .tabIndex = 0,
                              .isDefault = true,
                              .isCancel = true})),
      exitButton(Add(Kind::CommandButton, "Command1",
                     Design{.left = 3480,
                            .top = 1680,
                            .width = 1215,
                            .height = 375,
                            .caption = "Exit Setup",
                            .tabIndex = 1})),
      app_(app) {
  Add(Kind::Label, "Label1",
      Design{.left = 1440,
             .top = 120,
             .width = 3300,
             .height = 255,
             .caption = "Installation not completed",
             .bold = true});
  Add(Kind::Label, "Label3",
      Design{.left = 1440,
             .top = 540,
             .width = 3300,
             .height = 615,
             .caption = "You can, however, run Installer again at a later date to continue "
                        "installation."});
  Add(Kind::Label, "Label2",
      Design{.left = 1440,
             .top = 1200,
             .width = 3300,
             .height = 255,
             .caption = "Are you sure you wish to exit?"});

  // Resume: the wizard goes on where it was; the stage timers never stopped.
  resumeButton.onClick = [this] { Hide(); };
  onClose = [this] { resumeButton.UserClick(); };
  exitButton.onClick = [this] { this->program().End(0); };
}

void FrmConfirm::Load() {
  if (!common::IsSet(common::IsLargeFontScreen(app_.machine().system()))) return;
  picture.SetPicture(app_.main().bigExc.picture());
  picture.Move(70, 30);
}

}  // namespace vu::installer
