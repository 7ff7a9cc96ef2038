// What the Optimizer's three dialogs have in common: the picture at the top left, the two
// two-line separators, the window style, and the large-font picture swap.
#pragma once

#include <string>

#include "toolkit/control.h"
#include "toolkit/dialog_parts.h"
#include "toolkit/form.h"

namespace vu::optimizer {

class OptimizerApp;

// Picture1: the dialog picture at the top left.
inline toolkit::Control& AddDialogPicture(toolkit::Form& form) {
  return toolkit::AddDialogPicture(form, "Picture1", "dialog_small");
}
using toolkit::DialogDesign;

// One separator under the title (from |titleLeft|) and one above the buttons.
void AddDialogSeparators(toolkit::Form& form, int titleLeft);

// On a 120 pixels-per-inch screen Picture1 takes frmMain's large dialog picture and moves to
// 70, 30. Returns whether the screen has large fonts.
bool ApplyDialogLargeFont(toolkit::Control& picture, OptimizerApp& app);

}  // namespace vu::optimizer
