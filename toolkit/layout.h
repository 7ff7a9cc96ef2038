// A form's layout as text, for tools that drive the real windows from outside (the real-input
// journey clicks controls where this says they are): one line per control that has a place on
// the screen, in twips relative to its container, with what a user can see of it.
//
//   form NAME CLIENT_WIDTH CLIENT_HEIGHT "CAPTION"
//   control NAME CONTAINER LEFT TOP WIDTH HEIGHT SHOWN ENABLED VALUE "CAPTION"
//
// CONTAINER is "-" for the form itself; SHOWN and ENABLED are 1 or 0; VALUE is a check box's
// or option button's value as scripts compare it (0/1, True/False), else "-"; in a caption, a
// backslash escapes a quote or a backslash. A line keeps x1 y1 x2 y2 in place of the rectangle.
#pragma once

#include <string>

namespace vu::toolkit {

class Form;

std::string DescribeLayout(const Form& form);

}  // namespace vu::toolkit
