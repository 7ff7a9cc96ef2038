// What the Uninstall program's two dialogs have in common: the window style, the picture at the
// top left, the two two-line separators and the large-font picture swap.
#pragma once

#include <string>

#include "toolkit/control.h"
#include "toolkit/dialog_parts.h"
#include "toolkit/form.h"

namespace vu::uninstaller {

class UninstallApp;

using toolkit::AddDialogPicture;
using toolkit::DialogDesign;

// The darker line of every two-line separator.
inline constexpr toolkit::Color kGreyLine = toolkit::kGrey;

// A two-line separator from |left| to 120 twips short of the form's right edge; the lines are
// 20 twips apart, so that they stay on separate pixel rows at 120 pixels per inch too.
void AddSeparator(toolkit::Form& form, const char* grey, const char* light, int left, int y);

// A bold heading at the top, right of the picture.
toolkit::Control& AddHeading(toolkit::Form& form, std::string caption);

// One separator under the heading and one above the buttons.
void AddDialogSeparators(toolkit::Form& form);

// On a 120 pixels-per-inch screen Picture1 takes frmStart's large dialog picture (bigExc) and
// moves to 70, 50.
void ApplyDialogLargeFont(toolkit::Control& picture, UninstallApp& app);

}  // namespace vu::uninstaller
