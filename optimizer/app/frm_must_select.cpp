#include "optimizer/app/frm_must_select.h"

#include "optimizer/app/dialog_parts.h"
#include "optimizer/app/optimizer_app.h"

namespace vu::optimizer {

using toolkit::Design;
using toolkit::Kind;

FrmMustSelect::FrmMustSelect(toolkit::Program& program, OptimizerApp& app)
    : Form(program, "frmMustSelect", DialogDesign("Problem with selection", 4665, 2160)),
      picture1(AddDialogPicture(*this)),
      understoodButton(Add(Kind::CommandButton, "Command1",
                           Design{.left = 3315,
                                  .top = 1680,
                                  .width = 1215,
                                  .height = 375,
                                  .caption = "&Understood",
                                  .bold = true,
                                  .tabIndex = 0})),
      app_(app) {
  Add(Kind::Label, "Label1",
      Design{.left = 1275,
             .top = 120,
             .width = 3270,
             .height = 255,
             .caption = "Selection not preferable",
             .bold = true});
  Add(Kind::Label, "Label3",
      Design{.left = 1320,
             .top = 600,
             .width = 3255,
             .height = 615,
             .caption = "You must select at least one entity to search for, otherwise Optimizer "
                        "will have nothing to do."});
  AddDialogSeparators(*this, 1275);
  understoodButton.onClick = [this] { Hide(); };
  onClose = [this] { understoodButton.UserClick(); };
}

void FrmMustSelect::Load() {
  ApplyDialogLargeFont(picture1, app_);
}

}  // namespace vu::optimizer
