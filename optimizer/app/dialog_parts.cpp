#include "optimizer/app/dialog_parts.h"

#include "common/large_font.h"
#include "optimizer/app/frm_main.h"
#include "optimizer/app/optimizer_app.h"

namespace vu::optimizer {

void AddDialogSeparators(toolkit::Form& form, int titleLeft) {
  const int right = form.design().clientWidth - 120;
  toolkit::AddSeparator(form, "Line1", "Line2", titleLeft, right, 450);
  toolkit::AddSeparator(form, "Line3", "Line4", 120, right, 1560);
}

bool ApplyDialogLargeFont(toolkit::Control& picture, OptimizerApp& app) {
  if (!common::IsSet(common::IsLargeFontScreen(app.machine().system()))) return false;
  picture.SetPicture(app.main().bigExc.picture());
  picture.Move(70, 30);
  return true;
}

}  // namespace vu::optimizer
