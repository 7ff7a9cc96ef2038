// The scanning page's timers on the virtual clock: the three-phase start-up animation, the
// progress bar's fixed and random pacing, the dot cycles, the shared pause, and ticks that never
// overlap.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "fixture.h"
#include "optimizer/app/scan_animation.h"
#include "optimizer/engine/scan.h"

namespace vu::optimizer::testing {
namespace {

constexpr const char* kInit[] = {"Initializing", "Initializing.", "Initializing. .",
                                 "Initializing. . ."};
constexpr const char* kAnalyse[] = {"Analysing your system drive", "Analysing your system drive.",
                                    "Analysing your system drive. .",
                                    "Analysing your system drive. . ."};
constexpr const char* kMap[] = {
    "Creating file map of your system", "Creating file map of your system.",
    "Creating file map of your system. .", "Creating file map of your system. . ."};

// A form of the test's own with one timer, for ticks that run while the program pauses.
class TestTimers : public toolkit::Form {
 public:
  explicit TestTimers(toolkit::Program& program)
      : Form(program, "testTimers", toolkit::FormDesign{.caption = "test"}),
        timer(Add(toolkit::Kind::Timer, "testTimer", toolkit::Design{.enabled = false})) {}
  toolkit::Control& timer;
};

TEST(DotCycleTest, EachStatusLineCyclesItsOwnDots) {
  for (const auto* cycle : {kInit, kAnalyse, kMap}) {
    for (int i = 0; i < 4; ++i)
      EXPECT_EQ(NextInDotCycle(cycle[i], cycle[0]), cycle[(i + 1) % 4]);
  }
  // Texts outside the cycle stay as they are: the design text has a blank before its dots.
  for (const char* other : {"Initializing . . .", "Initializing. . . .", "Initializing..",
                            "Initializingx", "Initializin", "", "Analysing your system drive"}) {
    EXPECT_EQ(NextInDotCycle(other, "Initializing"), other);
  }
}

TEST(DotCycleTest, LabelTimerLeavesTheDesignTextAlone) {
  OptimizerWorld world;
  world.Start();
  FrmMain& main = world.main();
  ASSERT_EQ(main.scan.statusLabel.caption(), "Initializing . . .");
  main.LabelTimerTick();
  EXPECT_EQ(main.scan.statusLabel.caption(), "Initializing . . .");
  main.scan.statusLabel.SetCaption("Initializing. .");
  main.LabelTimerTick();
  EXPECT_EQ(main.scan.statusLabel.caption(), "Initializing. . .");
  main.LabelTimerTick();
  EXPECT_EQ(main.scan.statusLabel.caption(), "Initializing");
}

TEST(ProgressTest, AFixedPaceFillsTheBarIn34EqualTicks) {
  OptimizerWorld world;
  world.Start();
  FrmMain& wizard = world.main();
  FrmMain& main = world.main();
  std::vector<TickRecord> ticks;
  Spy(world, main.progressTimer, ticks);

  const std::pair<int, int> durations[] = {{10000, 166}, {35000, 583}, {1000, 16},
                                           {2000, 33},   {3500, 58},   {3000, 50}};
  for (const auto& [duration, interval] : durations) {
    SCOPED_TRACE(duration);
    ticks.clear();
    main.scan.progressBar.SetValue(57);
    const std::int64_t started = world.Now();
    wizard.StartProgress(common::kFalse, duration);
    EXPECT_EQ(main.scan.progressBar.value(), 0);
    EXPECT_EQ(world.app.state().progress.progressFixedPace, common::kTrue);
    EXPECT_EQ(world.app.state().progress.progressStep, 3);
    EXPECT_EQ(world.app.state().progress.progressInterval, interval);
    wizard.WaitForBar();

    ASSERT_EQ(ticks.size(), 34u);
    for (std::size_t i = 0; i < ticks.size(); ++i) {
      EXPECT_EQ(ticks[i].bar, i < 33 ? 3.0f * static_cast<float>(i + 1) : 100.0f);
      EXPECT_EQ(ticks[i].start, started + interval * static_cast<std::int64_t>(i + 1));
      EXPECT_EQ(ticks[i].interval, interval);
    }
    EXPECT_FALSE(main.progressTimer.enabled());
    EXPECT_EQ(main.scan.progressBar.value(), 100);
  }
}

TEST(ProgressTest, ARandomPaceStaysInsideItsBoundsAndEndsOnExactly100) {
  OptimizerWorld world;
  world.Start();
  FrmMain& wizard = world.main();
  FrmMain& main = world.main();
  std::vector<TickRecord> ticks;
  Spy(world, main.progressTimer, ticks);

  std::set<int> increments;
  int shortest = 1000, longest = 0;
  for (int round = 0; round < 100; ++round) {
    ticks.clear();
    const std::int64_t started = world.Now();
    wizard.StartProgress(common::kTrue, 35000);  // the duration is ignored
    EXPECT_EQ(world.app.state().progress.progressFixedPace, common::kFalse);
    EXPECT_EQ(world.app.state().progress.progressInterval, 100);
    wizard.WaitForBar();

    ASSERT_GE(ticks.size(), 17u);
    EXPECT_EQ(ticks[0].start - started, 100);
    float bar = 0;
    for (std::size_t i = 0; i < ticks.size(); ++i) {
      const float step = ticks[i].bar - bar;
      EXPECT_GE(step, 1);
      EXPECT_LE(step, 6);
      if (i + 1 < ticks.size()) increments.insert(static_cast<int>(step));
      EXPECT_GE(ticks[i].interval, 200);
      EXPECT_LE(ticks[i].interval, 500);
      if (i > 0) {
        const int gap = static_cast<int>(ticks[i].start - ticks[i - 1].start);
        EXPECT_EQ(gap, ticks[i - 1].interval);
        shortest = std::min(shortest, gap);
        longest = std::max(longest, gap);
      }
      bar = ticks[i].bar;
    }
    EXPECT_EQ(bar, 100);
    EXPECT_FALSE(main.progressTimer.enabled());
  }
  EXPECT_EQ(increments, (std::set<int>{1, 2, 3, 4, 5, 6}));
  EXPECT_LE(shortest, 205);
  EXPECT_GE(longest, 495);
}

// The drive scan yields once per folder entry (a virtual millisecond each) and stops with the
// wizard's bar, whatever is left of the drive.
TEST(ProgressTest, TheDriveScanEndsWithTheBar) {
  OptimizerWorld world;
  world.Start();
  FrmMain& wizard = world.main();
  auto& files = world.temp.machine().files();
  ASSERT_EQ(files.MakeDirectory("C:\\MANY"), ERROR_SUCCESS);
  for (int i = 0; i < 20; ++i) {
    const std::string folder = "C:\\MANY\\" + std::to_string(i);
    ASSERT_EQ(files.MakeDirectory(folder), ERROR_SUCCESS);
    for (int j = 0; j < 10; ++j)
      ASSERT_EQ(files.MakeDirectory(folder + "\\" + std::to_string(j)), ERROR_SUCCESS);
  }
  Engine engine = world.app.engine();
  wizard.StartProgress(common::kFalse, 1000);  // 16 ms a tick, 34 ticks
  const std::int64_t start = world.Now();
  ScanDriveForShow(engine, "C:\\MANY");  // about 700 entries: more than the bar allows
  const std::int64_t took = world.Now() - start;
  EXPECT_EQ(wizard.scan.progressBar.value(), 100);
  EXPECT_GE(took, 34 * 16);
  EXPECT_LE(took, 34 * 16 + 20);
}

// A pause lasts two ticks of the wait timer (the pacing tests time the single ones). A pause
// started while another runs takes over the one wait timer; both end together at the next tick
// that finds the marker "on".
TEST(PauseTest, APauseStartedDuringAnotherEndsWithIt) {
  struct Case {
    int innerAt;  // when the test timer starts the inner pause, after the outer one began
    std::int16_t inner;
    int bothEndAt;
  };
  // Before the outer pause's first tick: the inner one needs two ticks of its own. After it:
  // the marker is already "on", so the inner pause's first tick ends both.
  for (const Case& c : {Case{500, 200, 900}, Case{1500, 200, 1700}, Case{1200, 3000, 4200}}) {
    SCOPED_TRACE(c.innerAt);
    OptimizerWorld world;
    world.Start();
    FrmMain& wizard = world.main();
    TestTimers& test = world.program.form<TestTimers>();
    std::int64_t innerEnd = -1;
    test.timer.onTick = [&] {
      test.timer.SetEnabled(false);
      FrmMain& inner = world.main();
      inner.Pause(c.inner);
      innerEnd = world.Now();
    };
    const std::int64_t start = world.Now();
    test.timer.SetInterval(c.innerAt);
    test.timer.SetEnabled(true);
    wizard.Pause(1000);
    EXPECT_EQ(innerEnd - start, c.bothEndAt);
    EXPECT_EQ(world.Now() - start, c.bothEndAt);
    EXPECT_EQ(world.main().waitTimer.tag(), "off");
  }
}

// The start-up animation while the shortcut search takes |searchMs|.
struct Animation {
  explicit Animation(std::int64_t searchMs) {
    log.searchMs = searchMs;
    world.Start();
    Spy(world, world.main().startProgressTimer, start);
    Spy(world, world.main().labelTimer, label);
    EXPECT_TRUE(world.Click("nextButton"));
    EXPECT_EQ(world.main().caption(), "Finished Optimizing");
  }
  // The ticks that ended a phase: they pause for about 2 s inside the tick.
  std::vector<std::size_t> PhaseEnds() const {
    std::vector<std::size_t> ends;
    for (std::size_t i = 0; i < start.size(); ++i) {
      if (start[i].end - start[i].start >= 2000) ends.push_back(i);
    }
    return ends;
  }

  RunLog log;
  OptimizerWorld world{96, log.Make()};
  std::vector<TickRecord> start, label;
};

TEST(AnimationTest, ThreePhasesWhileALongSearchRuns) {
  Animation a(200000);
  const std::vector<std::size_t> ends = a.PhaseEnds();
  // 10 s + 2 s, 10 s + 2 s, then 72 s a round of the third phase: two full rounds in 200 s.
  ASSERT_EQ(ends.size(), 4u);
  EXPECT_EQ(ends[0], 99u);
  EXPECT_EQ(ends[1], 199u);
  EXPECT_EQ(ends[2], 299u);
  EXPECT_EQ(ends[3], 399u);
  const std::int64_t t0 = a.log.searchStart;
  int lastDepth = 0;
  int analyse = 3, map = 3;
  for (std::size_t i = 0; i < a.start.size(); ++i) {
    const TickRecord& tick = a.start[i];
    lastDepth = std::max(lastDepth, tick.depth);
    const std::size_t phase = std::min<std::size_t>(i / 100, 2);
    const bool end = (i % 100) == 99;
    SCOPED_TRACE("tick " + std::to_string(i));
    if (end) {
      EXPECT_EQ(tick.end - tick.start, 2000) << "Pause 1000: two ticks of the wait timer";
      EXPECT_EQ(tick.bar, 0);
    } else {
      EXPECT_EQ(tick.bar, static_cast<float>(i % 100 + 1));
    }
    if (i > 0 && (i % 100) != 0) {
      // Within a millisecond: a tick can fall due inside labelTimer's yield of the same moment.
      EXPECT_NEAR(tick.start - a.start[i - 1].start, phase < 2 ? 100 : 700, 1);
    } else if (i > 0) {
      // The first tick after a phase's pause: the timer kept its beat meanwhile.
      EXPECT_GE(tick.start, a.start[i - 1].end);
      EXPECT_LE(tick.start, a.start[i - 1].end + (phase < 2 ? 100 : 700));
    }
    // Which line shows after the tick, and whose dots move.
    const bool inPhase2 = phase == 1 && !end;
    const bool inPhase3 = phase == 2 || (phase == 1 && end);
    EXPECT_EQ(tick.status, phase == 0 && !end);
    EXPECT_EQ(tick.status1, inPhase2 || (phase == 0 && end));
    EXPECT_EQ(tick.status2, inPhase3);
    // Each tick that is no phase end moves the dots of the second line when it shows, else
    // those of the third, hidden or not; both start from their design text's three dots.
    if (!end) {
      if (phase == 1) {
        analyse = (analyse + 1) % 4;
      } else {
        map = (map + 1) % 4;
      }
    }
    EXPECT_EQ(tick.caption1, kAnalyse[analyse]);
    EXPECT_EQ(tick.caption2, kMap[map]);
  }
  EXPECT_EQ(lastDepth, 0) << "no tick of the start-up timer inside another";
  EXPECT_EQ(a.start[0].start - t0, 99) << "100 ms after the run enabled it";
  EXPECT_EQ(a.start[ends[2]].interval, 700);
  EXPECT_EQ(a.world.main().startProgressTimer.interval(), 700);

  // labelTimer: every 200 ms in the first phase, "Initializing" with 0 to 3 dots, then off.
  ASSERT_FALSE(a.label.empty());
  for (std::size_t i = 0; i < a.label.size(); ++i) {
    EXPECT_EQ(a.label[i].caption, kInit[i % 4]);
    EXPECT_LE(a.label[i].start, a.start[ends[0]].start);
  }
  EXPECT_EQ(a.label.size(), 50u);  // ticks at 200, 400, ... 10000 ms
  EXPECT_FALSE(a.world.main().labelTimer.enabled());
  // After the search: the timer is off and the three lines are gone.
  EXPECT_FALSE(a.world.main().startProgressTimer.enabled());
  EXPECT_FALSE(a.world.main().scan.statusLabel.visible());
  EXPECT_FALSE(a.world.main().scan.statusLabel1.visible());
  EXPECT_FALSE(a.world.main().scan.statusLabel2.visible());
}

TEST(AnimationTest, ASearchOverWithinTheFirstPhaseNeverShowsTheOthers) {
  Animation a(5000);
  EXPECT_TRUE(a.PhaseEnds().empty());
  ASSERT_GE(a.start.size(), 45u);
  for (const TickRecord& tick : a.start) {
    EXPECT_TRUE(tick.status);
    EXPECT_FALSE(tick.status1);
    EXPECT_FALSE(tick.status2);
    EXPECT_LE(tick.start, a.log.searchEnd);
  }
  // labelTimer was never switched off: it goes on cycling the hidden line after the run.
  FrmMain& main = a.world.main();
  EXPECT_TRUE(main.labelTimer.enabled());
  EXPECT_FALSE(main.scan.statusLabel.visible());
  const std::size_t seen = a.label.size();
  const std::string before = main.scan.statusLabel.caption();
  a.world.program.WaitForEvent();
  EXPECT_EQ(a.label.size(), seen + 1);
  EXPECT_EQ(main.scan.statusLabel.caption(), NextInDotCycle(before, "Initializing"));
}

TEST(AnimationTest, ASearchOverWithinTheSecondPhaseNeverShowsTheThird) {
  Animation a(15000);
  ASSERT_EQ(a.PhaseEnds(), std::vector<std::size_t>{99});
  for (std::size_t i = 100; i < a.start.size(); ++i) {
    EXPECT_TRUE(a.start[i].status1);
    EXPECT_FALSE(a.start[i].status2);
  }
  EXPECT_FALSE(a.world.main().labelTimer.enabled());
  EXPECT_EQ(a.world.main().startProgressTimer.interval(), 100);
}

TEST(AnimationTest, TheSearchEndsWithAFullBarAndAShortPause) {
  RunLog log;
  log.searchMs = 3000;
  OptimizerWorld world(96, log.Make());
  world.Start();
  FrmMain& main = world.main();
  std::vector<TickRecord> waits;
  Spy(world, main.waitTimer, waits);
  ASSERT_TRUE(world.Click("nextButton"));
  ASSERT_GE(waits.size(), 2u);
  // Pause 300 right after the search: two wait ticks 300 ms apart, then the steps.
  EXPECT_EQ(waits[0].start - log.searchEnd, 300);
  EXPECT_EQ(waits[1].start - log.searchEnd, 600);
  ASSERT_FALSE(log.performedAt.empty());
  EXPECT_EQ(log.performedAt[0], log.searchEnd + 600) << "the first step follows at once";
}

}  // namespace
}  // namespace vu::optimizer::testing
