#include "toolkit/dialog_parts.h"

namespace vu::toolkit {

FormDesign DialogDesign(std::string caption, int clientWidth, int clientHeight) {
  return FormDesign{.caption = std::move(caption),
                    .clientWidth = clientWidth,
                    .clientHeight = clientHeight,
                    .border = BorderStyle::FixedDialog,
                    .showIcon = false};
}

Control& AddDialogPicture(Form& form) {
  return form.Add(
      Kind::PictureBox, "Picture1",
      Design{.left = 40, .top = 0, .width = 1176, .height = 1440, .picture = "dialog_small"});
}

void AddSeparator(Form& form, const char* grey, const char* light, int left, int right, int y) {
  form.Add(Kind::Line, grey,
           Design{.left = left, .top = y, .width = right, .height = y, .foreColor = kGrey});
  form.Add(Kind::Line, light,
           Design{.left = left,
                  .top = y + 20,
                  .width = right,
                  .height = y + 20,
                  .foreColor = kSysScrollBar});
}

}  // namespace vu::toolkit
