// The run driver without the wizard: what it reports and in which order, which operations it
// calls, and the outcome it records for each step.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "engine_world.h"
#include "optimizer/engine/run.h"

namespace vu::optimizer::testing {
namespace {

// Operations that note which ran; |failing| fails and |throwing| throws.
Operations Noting(std::vector<Step>& ran, bool searchComplete, Step failing, Step throwing) {
  Operations operations;
  operations.findShortcuts = [searchComplete](Engine&) { return searchComplete; };
  for (int i = 0; i < kStepCount; ++i) {
    const Step step = static_cast<Step>(i);
    operations.steps[i] = [&ran, step, failing, throwing](Engine&) -> bool {
      ran.push_back(step);
      if (step == throwing) throw std::runtime_error("step failed");
      return step != failing;
    };
  }
  return operations;
}

TEST(RunDriverTest, ReportsTheSearchEachSelectedStepAndTheResultsInOrder) {
  EngineWorld world;
  world.state.flags.SetAll(common::kFalse);
  world.state.flags.optDosBoot = common::kTrue;
  world.state.flags.optStartMenu = common::kTrue;
  std::vector<Step> ran;
  Operations operations = Noting(ran, true, Step::StartMenu, Step::OrphanedDlls);
  int scans = 0;
  operations.scanDriveForShow = [&scans](Engine&, const std::string& root) {
    EXPECT_EQ(root, "C:\\");
    ++scans;
  };
  RunOptimization(world.engine, operations);

  const std::vector<std::string> expected = {
      "search begins", "search ends", "pause 300", "list - - - + - - - - + -",
      // DOS boot menu: fixed pace, a scan, the bar, a short pause.
      "begin 3 1000", "wait for bar", "pause 300", "end 3",
      // Start menu: fixed pace, no scan.
      "begin 8 1000", "wait for bar", "pause 700", "end 8", "results - - - done - - - - failed -"};
  EXPECT_EQ(world.progress.events, expected);
  EXPECT_EQ(world.progress.yields, 1) << "one yield before the search";
  EXPECT_EQ(ran, (std::vector<Step>{Step::DosBoot, Step::StartMenu}));
  EXPECT_EQ(scans, 1);
}

TEST(RunDriverTest, AThrowingOrMissingOperationAndAnIncompleteSearchCountAsFailed) {
  EngineWorld world;
  world.state.flags.SetAll(common::kTrue);
  std::vector<Step> ran;
  Operations operations = Noting(ran, false, Step::Startup, Step::OrphanedDlls);
  operations.steps[Index(Step::Internet)] = nullptr;
  RunOptimization(world.engine, operations);

  EXPECT_EQ(ran.size(), static_cast<std::size_t>(kStepCount - 1));
  const auto& outcomes = world.state.outcomes;
  EXPECT_EQ(outcomes[Index(Step::BrokenLinks)], StepOutcome::Failed) << "search incomplete";
  EXPECT_EQ(outcomes[Index(Step::RegistryMistakes)], StepOutcome::Done);
  EXPECT_EQ(outcomes[Index(Step::Internet)], StepOutcome::Failed) << "no operation";
  EXPECT_EQ(outcomes[Index(Step::Startup)], StepOutcome::Failed);
  EXPECT_EQ(outcomes[Index(Step::OrphanedDlls)], StepOutcome::Failed) << "threw";
  // Every step begins and ends, the run goes on after a failure.
  EXPECT_EQ(world.progress.Count("begin "), kStepCount);
  EXPECT_EQ(world.progress.Count("end "), kStepCount);
  EXPECT_EQ(world.progress.Last("begin 1 "), "35000");
  EXPECT_EQ(world.progress.Last("begin 2 "), "random");
}

}  // namespace
}  // namespace vu::optimizer::testing
