// A whole run's time is the sum of its pacing: each fixed-pace step fills the bar in 34 ticks of
// duration / 60 milliseconds, then pauses twice its pause value; the two random-pace steps and
// the start-up animation vary with the generator but are the same on every start.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "fixture.h"
#include "optimizer/engine/run.h"

namespace vu::optimizer::testing {
namespace {

struct RunTimes {
  std::vector<Step> steps;
  std::vector<std::int64_t> starts;
  std::int64_t end = 0;
};

RunTimes ExpressRun() {
  RunLog log;
  log.searchMs = 3000;
  OptimizerWorld world(96, log.Make());
  world.Start();
  EXPECT_TRUE(world.Click("nextButton"));
  EXPECT_EQ(world.main().caption(), "Finished Optimizing");
  return RunTimes{log.performed, log.performedAt, world.Now()};
}

TEST(RunPace, EachFixedPaceStepLastsItsFillAndItsPauseAndTheRunRepeatsExactly) {
  const RunTimes run = ExpressRun();
  ASSERT_EQ(run.steps.size(), static_cast<std::size_t>(kStepCount));
  for (std::size_t k = 0; k + 1 < run.steps.size(); ++k) {
    const StepPacing& pacing = kRunOrder[k];
    ASSERT_EQ(run.steps[k], pacing.step);
    const std::int64_t took = run.starts[k + 1] - run.starts[k];
    SCOPED_TRACE(::testing::Message() << "step " << k << " took " << took << " ms");
    if (common::IsSet(pacing.randomPace)) {
      // 100 / (1..6 per tick) ticks of 200..500 ms, after a first tick at 100 ms.
      EXPECT_GE(took, 100 + 16 * 200 + 2 * pacing.pause);
      EXPECT_LE(took, 100 + 99 * 500 + 2 * pacing.pause + 100);
    } else if (pacing.waitForBar) {
      const std::int64_t fill = 34 * (pacing.duration / 60);
      EXPECT_NEAR(took, fill + 2 * pacing.pause, 3) << "expected " << fill + 2 * pacing.pause;
    }
  }
  const RunTimes again = ExpressRun();
  EXPECT_EQ(again.starts, run.starts) << "an unseeded run paces the same on every start";
  EXPECT_EQ(again.end, run.end);
  std::printf("Express run with instant operations: %lld ms of virtual time\n",
              static_cast<long long>(run.end));
}

}  // namespace
}  // namespace vu::optimizer::testing
