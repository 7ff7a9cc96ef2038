#include "optimizer/app/frm_error.h"

#include <new>
#include <stdexcept>
#include <string>

#include "optimizer/app/dialog_parts.h"
#include "optimizer/app/optimizer_app.h"
#include "optimizer/app/palette.h"
#include "platform/status.h"

namespace vu::optimizer {

using toolkit::Design;
using toolkit::Kind;

FrmError::FrmError(toolkit::Program& program, OptimizerApp& app)
    : Form(program, "frmError", DialogDesign("Fatal Error", 4635, 2130)),
      picture1(AddDialogPicture(*this)),
      reportLabel(Add(Kind::Label, "reportLabel",
                      Design{.left = 3600,
                             .top = 600,
                             .width = 735,
                             .height = 210,
                             .caption = "report it",
                             .foreColor = kBlue,
                             .wordWrap = false,
                             .handCursor = true})),
      errNum(Add(Kind::Label, "errNum",
                 Design{.left = 4200,
                        .top = 1215,
                        .width = 315,
                        .height = 210,
                        .caption = "55",
                        .wordWrap = false})),
      closeButton(Add(Kind::CommandButton, "Command1",
                      Design{.left = 3195,
                             .top = 1680,
                             .width = 1335,
                             .height = 375,
                             .caption = "&Close",
                             .bold = true,
                             .tabIndex = 0})),
      app_(app) {
  Add(Kind::Label, "Label1",
      Design{.left = 1320,
             .top = 120,
             .width = 3195,
             .height = 255,
             .caption = "Optimizer Closing",
             .bold = true});
  Add(Kind::Label, "Label3",
      Design{.left = 1320,
             .top = 600,
             .width = 2280,
             .height = 210,
             .caption = "If the problem persists, please",
             .wordWrap = false});
  Add(Kind::Label, "Label4",
      Design{.left = 1320,
             .top = 810,
             .width = 3195,
             .height = 210,
             .caption = "so that our support team can assist you further.",
             .wordWrap = false});
  Add(Kind::Shape, "Shape1", Design{.left = 2880, .top = 1200, .width = 1695, .height = 255});
  Add(Kind::Label, "Label5",
      Design{.left = 3000,
             .top = 1215,
             .width = 1140,
             .height = 210,
             .caption = "error number :",
             .wordWrap = false});
  AddDialogSeparators(*this, 1320);

  reportLabel.onClick = [this] {
    app_.machine().system().StartProgram(std::string("start.exe ") + kErrorReportAddress,
                                         SW_SHOWMINIMIZED);
  };
  closeButton.onClick = [this] { this->program().End(0); };
  onClose = [this] { closeButton.UserClick(); };
}

void FrmError::Load() {
  if (ApplyDialogLargeFont(picture1, app_)) reportLabel.Move(3360, reportLabel.top());
}

std::string ErrorNumberText(int number) {
  return (number >= 0 ? " " : "") + std::to_string(number);
}

int ErrorNumberOf(const std::exception& error) {
  if (dynamic_cast<const std::bad_alloc*>(&error) != nullptr) return 7;
  if (dynamic_cast<const std::out_of_range*>(&error) != nullptr) return 9;
  return 51;
}

void ShowFatalError(OptimizerApp& app, const std::string& text) {
  app.machine().system().Beep();
  FrmError& dialog = app.program().form<FrmError>(app);
  dialog.errNum.SetCaption(text);
  dialog.ShowModal();
}

void RunGuarded(OptimizerApp& app, const std::function<void()>& body) {
  try {
    body();
  } catch (const std::exception& error) {
    ShowFatalError(app, ErrorNumberText(ErrorNumberOf(error)));
  }
}

}  // namespace vu::optimizer
