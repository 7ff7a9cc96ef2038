// A pause on a timer, as the programs wait between the steps they show: the forms keep
// repainting and the other timers keep ticking while it lasts.
#pragma once

#include "toolkit/control.h"
#include "toolkit/program.h"

namespace vu::toolkit {

// Starts |timer| with an interval of |ms| (at least 1: a timer of no interval never ticks) and
// handles events until the timer is disabled, which its own tick handler does.
void WaitForTimer(Program& program, Control& timer, int ms);

}  // namespace vu::toolkit
