#include "uninstaller/frm_confirm.h"

#include "uninstaller/dialog_parts.h"
#include "uninstaller/frm_start.h"
#include "uninstaller/removal.h"
#include "uninstaller/uninstall_app.h"

namespace vu::uninstaller {

using toolkit::Design;
using toolkit::Kind;

FrmConfirm::FrmConfirm(toolkit::Program& program, UninstallApp& app)
    : Form(program, "frmConfirm", DialogDesign("Velloria UnInstaller", 4740, 2160)),
      picture1(AddDialogPicture(*this)),
      label1(AddHeading(*this, "")),
      label3(Add(Kind::Label, "Label3",
                 Design{.left = 1440, .top = 600, .width = 3135, .height = 495})),
      yesButton(Add(Kind::CommandButton, "Command1",
                    Design{.left = 2280,
                           .top = 1680,
                           .width = 1095,
                           .height = 375,
                           .caption = "&Yes",
                           .tabIndex = 0,
                           .isDefault = true})),
      noButton(Add(Kind::CommandButton, "Command2",
                   Design{.left = 3480,
                          .top = 1680,
                          .width = 1095,
                          .height = 375,
                          .caption = "&No",
                          .tabIndex = 1,
                          .isCancel = true})),
      app_(app) {
  Add(Kind::Label, "Label2",
      Design{.left = 1440,
             .top = 1200,
             .width = 3135,
             .height = 255,
             .caption = "Do you wish to continue with uninstall?"});
  AddDialogSeparators(*this);

  yesButton.onClick = [this] { YesClick(); };
  noButton.onClick = [this] { this->program().End(0); };
  // Closing the window answers No: nothing has been removed yet.
  onClose = [this] { this->program().End(0); };
}

void FrmConfirm::Load() {
  label1.SetCaption("Uninstall " + app_.GetShortName());
  label3.SetCaption("You are about to uninstall " + app_.DisplayName());
  ApplyDialogLargeFont(picture1, app_);
}

void FrmConfirm::YesClick() {
  app_.start().Show();
  Hide();
  RunUninstall(app_);
}

}  // namespace vu::uninstaller
