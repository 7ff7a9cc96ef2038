// Which operation performs each step of a run.
#pragma once

#include "optimizer/engine/engine.h"

namespace vu::optimizer {

// The Optimizer's operations, one entry per step. An entry left empty makes its step fail
// honestly: the results page shows the warning picture instead of the tick.
Operations MakeOperations();

}  // namespace vu::optimizer
