#include "optimizer/app/dialog_parts.h"

#include "common/large_font.h"
#include "optimizer/app/frm_main.h"
#include "optimizer/app/optimizer_app.h"
#include "optimizer/app/palette.h"

namespace vu::optimizer {

using toolkit::Kind;
using toolkit::Spec;

namespace {

// 20 twips apart, so that the two lines stay on separate pixel rows at 120 pixels per inch too.
void AddSeparator(toolkit::Form& form, const char* grey, const char* light, int left, int right,
                  int y) {
  form.Add(Kind::Line, grey,
           Spec{.left = left, .top = y, .width = right, .height = y, .foreColor = kGreyLine});
  form.Add(Kind::Line, light,
           Spec{.left = left,
                .top = y + 20,
                .width = right,
                .height = y + 20,
                .foreColor = toolkit::kSysScrollBar});
}

}  // namespace

toolkit::FormSpec DialogSpec(std::string caption, int clientWidth, int clientHeight) {
  return toolkit::FormSpec{.caption = std::move(caption),
                           .clientWidth = clientWidth,
                           .clientHeight = clientHeight,
                           .border = toolkit::BorderStyle::FixedDialog,
                           .showIcon = false};
}

toolkit::Control& AddDialogPicture(toolkit::Form& form) {
  return form.Add(
      Kind::PictureBox, "Picture1",
      Spec{.left = 40, .top = 0, .width = 1176, .height = 1440, .picture = "dialog_small"});
}

void AddDialogSeparators(toolkit::Form& form, int titleLeft) {
  const int right = form.spec().clientWidth - 120;
  AddSeparator(form, "Line1", "Line2", titleLeft, right, 450);
  AddSeparator(form, "Line3", "Line4", 120, right, 1560);
}

bool ApplyDialogLargeFont(toolkit::Control& picture, OptimizerApp& app) {
  if (!common::IsSet(common::IsLargeFontScreen(app.machine().system()))) return false;
  picture.SetPicture(app.main().bigExc.picture());
  picture.Move(70, 30);
  return true;
}

}  // namespace vu::optimizer
