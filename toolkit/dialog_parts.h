// What the programs' small modal dialogs share: the window style, the 79 x 97 pixel picture at
// the top left, and the two-line separators.
#pragma once

#include <string>

#include "toolkit/form.h"

namespace vu::toolkit {

// A fixed dialog frame without an icon, of the given client size in twips.
FormDesign DialogDesign(std::string caption, int clientWidth, int clientHeight);

// Picture1: the dialog picture at the top left.
Control& AddDialogPicture(Form& form);

// A grey line and a light one 20 twips below it, so that the two stay on separate pixel rows at
// 120 pixels per inch too. |right| is where the lines end.
void AddSeparator(Form& form, const char* grey, const char* light, int left, int right, int y);

}  // namespace vu::toolkit
