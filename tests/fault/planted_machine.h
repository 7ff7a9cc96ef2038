// A machine with one planted problem of every kind the Optimizer removes, next to live items of
// the same kinds that must stay; and one checked Express run over it with a fault injected.
#pragma once

#include <string>
#include <vector>

#include "platform/sandbox/faults.h"

namespace vu::optimizer::testing {

// How many calls of |op| a clean Express run over the planted machine makes.
long long CountCalls(vu::platform::sandbox::Op op);

// One Express run with call |n| of |op| failing (ERROR_ACCESS_DENIED), then a restore of its
// backup with no fault. Returns what broke the run's promise, one line each.
std::vector<std::string> SweepRun(vu::platform::sandbox::Op op, long long n);

}  // namespace vu::optimizer::testing
