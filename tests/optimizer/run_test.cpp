// The run driver without the wizard: what it reports and in which order, which operations it
// calls, and the outcome it records for each step.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "engine_world.h"
#include "optimizer/engine/run.h"
#include "optimizer/engine/tweaks.h"
#include "platform/sandbox/facts.h"
#include "platform/sandbox/layout.h"

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

void MakeNt(EngineWorld& world) {
  const auto ini = world.temp.dir() / vu::platform::sandbox::kMachineIni;
  ASSERT_EQ(vu::platform::sandbox::WriteFacts(ini.string(),
                                              {{"PlatformId", "2"}, {"MajorVersion", "10"}}),
            ERROR_SUCCESS);
}

// Every event with the marks of a step that was not needed taken out.
std::vector<std::string> Paced(std::vector<std::string> events) {
  for (std::string& event : events) {
    if (event.rfind("end ", 0) == 0) event = event.substr(0, 5);
  }
  events.pop_back();  // the results
  return events;
}

TEST(RunDriverTest, OnNtTheWindows9xStepsAreNotNeededAndKeepTheirPace) {
  EngineWorld nt, w98;
  MakeNt(nt);
  std::vector<Step> ranNt, ran98;
  for (EngineWorld* world : {&nt, &w98}) {
    world->state.flags.SetAll(common::kTrue);
    RunOptimization(world->engine, Noting(world == &nt ? ranNt : ran98, true, Step::OrphanedDlls,
                                          Step::OrphanedDlls));
  }
  EXPECT_EQ(ranNt,
            (std::vector<Step>{Step::BrokenLinks, Step::RegistryMistakes, Step::UninstallInfo,
                               Step::Startup, Step::StartMenu, Step::OrphanedDlls}));
  EXPECT_EQ(ran98.size(), static_cast<std::size_t>(kStepCount));
  EXPECT_EQ(nt.progress.events.back(),
            "results done done not needed not needed done not needed not needed done done failed");
  EXPECT_EQ(nt.progress.Last("end 3"), " not needed");
  EXPECT_EQ(nt.progress.Last("end 7"), "");
  EXPECT_EQ(Paced(nt.progress.events), Paced(w98.progress.events));
}

TEST(RunDriverTest, StepsThatChangeNothingLeaveNoBackup) {
  Operations tweaks;
  tweaks.findShortcuts = [](Engine&) { return true; };
  tweaks.steps[Index(Step::VirtualCache)] = TuneVirtualCache;
  tweaks.steps[Index(Step::DosBoot)] = TuneBootMenuDelay;
  tweaks.steps[Index(Step::Internet)] = TuneTcpIp;
  tweaks.steps[Index(Step::FileSystem)] = TuneCdRomCache;
  tweaks.steps[Index(Step::Startup)] = TuneStartup;
  EngineWorld nt, w98;
  MakeNt(nt);
  for (EngineWorld* world : {&nt, &w98}) {
    world->state.flags.SetAll(common::kTrue);
    world->state.flags.optBrokenLinks = common::kFalse;
    world->state.flags.optRegistryMistakes = common::kFalse;
    world->state.flags.optUninstallInfo = common::kFalse;
    world->state.flags.optStartMenu = common::kFalse;
    world->state.flags.optOrphanedDlls = common::kFalse;
    RunOptimization(world->engine, tweaks);
  }
  EXPECT_EQ(nt.progress.events.back(),
            "results - - not needed not needed - not needed not needed done - -");
  EXPECT_EQ(w98.progress.events.back(), "results - - done done - done done done - - backup");
}

}  // namespace
}  // namespace vu::optimizer::testing
