#include "uninstaller/frm_err_message.h"

#include "uninstaller/dialog_parts.h"
#include "uninstaller/uninstall_app.h"

namespace vu::uninstaller {

using toolkit::Design;
using toolkit::Kind;

FrmErrMessage::FrmErrMessage(toolkit::Program& program, UninstallApp& app)
    : Form(program, "frmErrMessage", DialogDesign("Fatal Error", 4740, 2160)),
      picture1(AddDialogPicture(*this)),
      closeButton(Add(Kind::CommandButton, "Command1",
                      Design{.left = 3480,
                             .top = 1680,
                             .width = 1095,
                             .height = 375,
                             .caption = "&Close",
                             .tabIndex = 0,
                             .isDefault = true})),
      app_(app) {
  AddHeading(*this, "Error in uninstall");
  Add(Kind::Label, "Label2",
      Design{.left = 1440,
             .top = 600,
             .width = 3135,
             .height = 615,
             .caption = "Uninstall cannot find the requested application. Terminating."});
  AddDialogSeparators(*this);

  closeButton.onClick = [this] { this->program().End(0); };
  // Closing the window is the same as Close: there is nothing else to do.
  onClose = [this] { this->program().End(0); };
}

void FrmErrMessage::Load() {
  ApplyDialogLargeFont(picture1, app_);
}

}  // namespace vu::uninstaller
