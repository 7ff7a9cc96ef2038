// The keyboard's way round a form. The order in which Tab moves the focus through a form, taken
// from the model rather than from the windows' stacking order: the tab index first, then creation
// order, skipping what cannot take the focus now, and counting each group of option buttons once.
#pragma once

#include <vector>

#include "toolkit/form.h"

namespace vu::toolkit::win32 {

// Controls that take the focus when they are shown and usable.
bool TakesFocus(Kind kind);

// The controls Tab visits on |form|, in order, leaving out those on a panel that another lies
// in front of. Of a group of option buttons (same container)
// only the selected one is a stop, or the group's first when none is selected.
std::vector<Control*> TabSequence(const Form& form);

// The stop after (|forward|) or before |current| in the sequence, wrapping round; the first or
// last stop when |current| is not one; null when the form has none.
Control* NextTabStop(const Form& form, const Control* current, bool forward);

// The button Escape presses: the first cancel button that is shown and usable; null when none.
Control* CancelButton(const Form& form);

}  // namespace vu::toolkit::win32
