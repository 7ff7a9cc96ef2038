// The engine on a fresh sandbox machine, without the wizard: the Optimizer's state and a progress
// that records what the engine reports.
#pragma once

#include "harness.h"
#include "optimizer/engine/engine.h"
#include "recording_progress.h"

namespace vu::optimizer::testing {

struct EngineWorld {
  TempMachine temp;
  OptimizerState state;
  RecordingProgress progress;
  Engine engine{temp.machine(), state, progress};
};

}  // namespace vu::optimizer::testing
