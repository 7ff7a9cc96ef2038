// What the Optimizer's engine works with: the machine, the program-wide state, and the progress
// a run shows the user.
#pragma once

#include <array>
#include <functional>
#include <string>

#include "optimizer/engine/run_progress.h"
#include "optimizer/engine/state.h"
#include "platform/machine.h"

namespace vu::optimizer {

struct Engine {
  vu::platform::Machine& machine;
  OptimizerState& state;
  RunProgress& progress;
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
