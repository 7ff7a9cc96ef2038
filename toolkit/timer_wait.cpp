#include "toolkit/timer_wait.h"

#include <algorithm>

namespace vu::toolkit {

void WaitForTimer(Program& program, Control& timer, int ms) {
  timer.SetInterval(std::max(ms, 1));
  timer.SetEnabled(true);
  while (timer.enabled())
    program.WaitForEvent();
}

}  // namespace vu::toolkit
