// What the Optimizer's engine works with: the machine, the running program (for yields, timers
// and the random generator), the program-wide state, and the controls a run drives.
#pragma once

#include <array>
#include <functional>
#include <string>

#include "optimizer/engine/run_view.h"
#include "optimizer/engine/state.h"
#include "platform/machine.h"
#include "toolkit/program.h"

namespace vu::optimizer {

struct Engine {
  vu::platform::Machine& machine;
  toolkit::Program& program;
  OptimizerState& state;
  RunView& view;
};

// The operations a run performs. Each reports whether every change it attempted took effect;
// an operation that is not there counts as failed, so that the results page never claims work
// that was not done.
struct Operations {
  std::function<bool(Engine&)> findShortcuts;
  std::array<std::function<bool(Engine&)>, kStepCount> steps;
  // The paced walk over the system drive that keeps five steps busy until their animation ends.
  std::function<void(Engine&, const std::string& root)> scanDriveForShow;
};

}  // namespace vu::optimizer
