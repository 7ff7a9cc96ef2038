// The fault sweep: an Express run over a machine with planted problems, with one call of one
// kind of machine operation failing, for every kind the fault injector knows and calls 1..K of
// each. Every run is checked for the run's promise: nothing is deleted that was not planted as a
// problem, a step whose problem is still there shows the warning picture, and restoring the
// run's backup gives the machine back exactly or says what it could not put back.
//
// K is 3 here (VU_SWEEP_CALLS=N for more, VU_SWEEP_CALLS=all for every call the clean run
// makes: tests/stress/sweep.sh).
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "planted_machine.h"

namespace vu::optimizer::testing {
namespace {

using vu::platform::Op;

// Every kind of operation the fault injector knows, in its order.
std::vector<Op> AllOps() {
  std::vector<Op> ops;
  for (std::size_t i = 0; i < vu::platform::kOpCount; ++i)
    ops.push_back(static_cast<Op>(i));
  return ops;
}

// How many calls of |op| the sweep fails in turn; |made| is how many a clean run makes.
long long CallsToSweep(long long made) {
  const char* setting = std::getenv("VU_SWEEP_CALLS");
  if (setting == nullptr || *setting == '\0') return std::min(made, 3LL);
  if (std::string(setting) == "all") return made;
  return std::min(made, std::atoll(setting));
}

class FaultSweep : public ::testing::TestWithParam<Op> {};

TEST_P(FaultSweep, EveryFailedCallKeepsThePromise) {
  const Op op = GetParam();
  const long long made = CountCalls(op);
  const long long calls = CallsToSweep(made);
  std::vector<std::string> anomalies;
  for (long long n = 1; n <= calls; ++n) {
    for (const std::string& anomaly : SweepRun(op, n))
      anomalies.push_back(anomaly);
  }
  std::printf("sweep %s: %lld runs of %lld calls, %zu anomalies\n",
              std::string(vu::platform::OpName(op)).c_str(), calls, made, anomalies.size());
  std::string text;
  for (const std::string& anomaly : anomalies)
    text += "  " + anomaly + "\n";
  EXPECT_TRUE(anomalies.empty()) << anomalies.size() << " anomalies in " << calls
                                 << " runs (a clean run makes " << made << " calls):\n"
                                 << text;
}

INSTANTIATE_TEST_SUITE_P(AllOperations, FaultSweep, ::testing::ValuesIn(AllOps()),
                         [](const ::testing::TestParamInfo<Op>& info) {
                           return std::string(vu::platform::OpName(info.param));
                         });

}  // namespace
}  // namespace vu::optimizer::testing
