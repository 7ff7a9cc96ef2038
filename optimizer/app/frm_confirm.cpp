#include "optimizer/app/frm_confirm.h"

#include "optimizer/app/dialog_parts.h"
#include "optimizer/app/frm_main.h"
#include "optimizer/app/optimizer_app.h"

namespace vu::optimizer {

using toolkit::Design;
using toolkit::Kind;

FrmConfirm::FrmConfirm(toolkit::Program& program, OptimizerApp& app)
    : Form(program, "frmConfirm", DialogDesign("Exit Optimizer", 4740, 2160)),
      picture1(AddDialogPicture(*this)),
      resumeButton(Add(Kind::CommandButton, "Command2",
                       Design{.left = 2280,
                              .top = 1680,
                              .width = 1095,
                              .height = 375,
                              .caption = "Resume",
                              .tabIndex = 0,
                              .isCancel = true})),
      exitButton(Add(Kind::CommandButton, "Command1",
                     Design{.left = 3480,
                            .top = 1680,
                            .width = 1095,
                            .height = 375,
                            .caption = "Exit",
                            .tabIndex = 1})),
      app_(app) {
  Add(Kind::Label, "Label1",
      Design{.left = 1320,
             .top = 120,
             .width = 3300,
             .height = 255,
             .caption = "Optimization not completed",
             .bold = true});
  Add(Kind::Label, "Label3",
      Design{.left = 1440,
             .top = 600,
             .width = 3135,
             .height = 495,
             .caption = "You can, however, run Optimizer again at a later date to continue "
                        "optimization."});
  Add(Kind::Label, "Label2",
      Design{.left = 1440,
             .top = 1200,
             .width = 3135,
             .height = 255,
             .caption = "Are you sure you wish to exit?"});
  AddDialogSeparators(*this, 1320);

  // Resume switches the progress timer on whether or not it was running when Close was pressed.
  resumeButton.onClick = [this] {
    Hide();
    app_.main().progressTimer.SetEnabled(true);
  };
  exitButton.onClick = [this] { this->program().End(0); };
  // Closing the dialog from its title bar resumes: leaving the program takes an explicit choice.
  onClose = [this] { resumeButton.UserClick(); };
}

void FrmConfirm::Load() {
  ApplyDialogLargeFont(picture1, app_);
}

}  // namespace vu::optimizer
