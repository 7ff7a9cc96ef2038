#include "uninstaller/dialog_parts.h"

#include "common/large_font.h"
#include "uninstaller/frm_start.h"
#include "uninstaller/mod_main.h"

namespace vu::uninstaller {

using toolkit::Kind;
using toolkit::Spec;

namespace {

constexpr int kTextLeft = 1320;

}  // namespace

void AddSeparator(toolkit::Form& form, const char* grey, const char* light, int left, int y) {
  const int right = form.spec().clientWidth - 120;
  form.Add(Kind::Line, grey,
           Spec{.left = left, .top = y, .width = right, .height = y, .foreColor = kGreyLine});
  form.Add(Kind::Line, light,
           Spec{.left = left,
                .top = y + 20,
                .width = right,
                .height = y + 20,
                .foreColor = toolkit::kSysScrollBar});
}

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

toolkit::Control& AddHeading(toolkit::Form& form, std::string caption) {
  return form.Add(Kind::Label, "Label1",
                  Spec{.left = kTextLeft,
                       .top = 120,
                       .width = form.spec().clientWidth - kTextLeft - 120,
                       .height = 255,
                       .caption = std::move(caption),
                       .bold = true});
}

void AddDialogSeparators(toolkit::Form& form) {
  AddSeparator(form, "Line1", "Line2", kTextLeft, 450);
  AddSeparator(form, "Line3", "Line4", 120, 1560);
}

void ApplyDialogLargeFont(toolkit::Control& picture, UninstallApp& app) {
  if (!common::IsSet(common::IsLargeFontScreen(app.machine().system()))) return;
  picture.SetPicture(app.start().bigExc.picture());
  picture.Move(70, 50);
}

}  // namespace vu::uninstaller
