#include "uninstaller/dialog_parts.h"

#include "common/large_font.h"
#include "uninstaller/frm_start.h"
#include "uninstaller/uninstall_app.h"

namespace vu::uninstaller {

using toolkit::Design;
using toolkit::Kind;

namespace {

constexpr int kTextLeft = 1320;

}  // namespace

void AddSeparator(toolkit::Form& form, const char* grey, const char* light, int left, int y) {
  toolkit::AddSeparator(form, grey, light, left, form.design().clientWidth - 120, y);
}

toolkit::Control& AddHeading(toolkit::Form& form, std::string caption) {
  return form.Add(Kind::Label, "Label1",
                  Design{.left = kTextLeft,
                         .top = 120,
                         .width = form.design().clientWidth - kTextLeft - 120,
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
