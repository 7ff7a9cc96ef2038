// Timer scheduling on the virtual clock: fast-forward to just before and just after each
// deadline and count the ticks exactly.
#include <gtest/gtest.h>

#include <vector>

#include "test_forms.h"
#include "toolkit/timer_wait.h"

namespace vu::toolkit::testing {
namespace {

class TimerTest : public ::testing::Test {
 protected:
  Control& AddTimer(const char* name, int interval, bool enabled = true) {
    Form& form = v.program.form<TestForm<1>>("frmTimers", nullptr);
    return form.Add(Kind::Timer, name, TimerDesign(interval, enabled));
  }
  VirtualProgram v;
};

TEST_F(TimerTest, TicksExactlyAtEachDeadline) {
  Control& timer = AddTimer("clock", 100);
  int ticks = 0;
  timer.onTick = [&] { ++ticks; };
  v.StepTo(99);
  EXPECT_EQ(ticks, 0);
  v.StepTo(100);
  EXPECT_EQ(ticks, 1);
  v.StepTo(199);
  EXPECT_EQ(ticks, 1);
  v.StepTo(200);
  EXPECT_EQ(ticks, 2);
  v.StepTo(1000);
  EXPECT_EQ(ticks, 10);
}

TEST_F(TimerTest, CountdownStartsWhenEnabledAndRestartsOnIntervalChange) {
  Control& timer = AddTimer("clock", 100, false);
  std::vector<std::int64_t> at;
  timer.onTick = [&] { at.push_back(v.host.NowMs()); };
  v.StepTo(30);
  timer.SetEnabled(true);
  v.StepTo(180);
  timer.SetInterval(100);  // the same interval still restarts the countdown
  v.StepTo(300);
  timer.SetEnabled(true);  // already running: the countdown goes on
  v.StepTo(400);
  EXPECT_EQ(at, (std::vector<std::int64_t>{130, 280, 380}));
}

TEST_F(TimerTest, IntervalZeroAndDisabledTimersNeverTick) {
  Control& zero = AddTimer("zero", 0);
  Control& off = AddTimer("off", 10, false);
  int ticks = 0;
  zero.onTick = off.onTick = [&] { ++ticks; };
  v.StepTo(500);
  EXPECT_EQ(ticks, 0);
  EXPECT_EQ(v.program.NextTimerDue(), INT64_MAX);
}

TEST_F(TimerTest, OneMillisecondTimerTicksOnEveryPass) {
  Control& fast = AddTimer("fast", 1);
  int ticks = 0;
  fast.onTick = [&] { ++ticks; };
  v.StepTo(50);
  EXPECT_EQ(ticks, 50);
}

TEST_F(TimerTest, TimerDisabledInsideItsOwnTickStaysDisabled) {
  Control& once = AddTimer("once", 40);
  int ticks = 0;
  once.onTick = [&] {
    ++ticks;
    once.SetEnabled(false);
  };
  v.StepTo(1000);
  EXPECT_EQ(ticks, 1);
  EXPECT_FALSE(once.enabled());
}

TEST_F(TimerTest, IntervalSetInsideTheTickPacesTheNextTick) {
  Control& pacer = AddTimer("pacer", 100);
  std::vector<std::int64_t> at;
  pacer.onTick = [&] {
    at.push_back(v.host.NowMs());
    pacer.SetInterval(static_cast<int>(at.size()) * 50 + 100);
  };
  v.StepTo(999);
  EXPECT_EQ(at, (std::vector<std::int64_t>{100, 250, 450, 700}));
}

TEST_F(TimerTest, TickNeverReentersWhileItsHandlerYieldsButOtherTimersTick) {
  Control& slow = AddTimer("slow", 10);
  Control& other = AddTimer("other", 7);
  int depth = 0, deepest = 0, otherTicks = 0;
  std::vector<std::int64_t> slowAt;
  slow.onTick = [&] {
    ++depth;
    deepest = std::max(deepest, depth);
    slowAt.push_back(v.host.NowMs());
    if (slowAt.size() == 1) {
      for (int i = 0; i < 100; ++i)
        v.host.DoEvents();  // yields for 100 ms inside the tick
    }
    --depth;
  };
  other.onTick = [&] { ++otherTicks; };
  v.StepTo(140);
  EXPECT_EQ(deepest, 1);
  EXPECT_EQ(otherTicks, 20);  // 7, 14, ..., 140
  // The tick missed while the handler ran comes once, at once, then the beat resumes.
  ASSERT_GE(slowAt.size(), 3u);
  EXPECT_EQ(slowAt[0], 10);
  EXPECT_EQ(slowAt[1], 111);
  EXPECT_EQ(slowAt[2], 121);
}

TEST_F(TimerTest, DueTicksRunEarliestFirstAndTiesInCreationOrder) {
  Control& a = AddTimer("a", 100);
  Control& b = AddTimer("b", 60);
  Control& c = AddTimer("c", 100);
  std::string order;
  a.onTick = [&] { order += 'a'; };
  b.onTick = [&] { order += 'b'; };
  c.onTick = [&] { order += 'c'; };
  EXPECT_TRUE(v.program.RunDueTimers(150));
  EXPECT_EQ(order, "bac");
  EXPECT_FALSE(v.program.RunDueTimers(150));  // each ticked once; none due again yet
}

// The Optimizer's pause: a timer whose first tick arms a marker and whose second disarms it.
TEST_F(TimerTest, TwoTickPauseLastsTwoIntervalsEvenFromInsideAnotherTick) {
  Control& wait = AddTimer("waitTimer", 0, false);
  wait.SetTag("off");
  wait.onTick = [&] {
    if (wait.tag() == "off") {
      wait.SetTag("on");
    } else {
      wait.SetEnabled(false);
      wait.SetTag("off");
    }
  };
  auto pause = [&](int ms) {
    wait.SetInterval(ms);
    wait.SetEnabled(true);
    while (wait.enabled())
      v.host.WaitForEvent();
  };
  Control& phase = AddTimer("phase", 100);
  std::vector<std::int64_t> resumed;
  phase.onTick = [&] {
    pause(1000);
    resumed.push_back(v.host.NowMs());
  };
  v.StepTo(2100);
  ASSERT_EQ(resumed.size(), 1u);
  EXPECT_EQ(resumed[0], 2100);
}

TEST_F(TimerTest, WaitForTimerLetsOtherTimersTickAndNeverHangsOnNoInterval) {
  Control& wait = AddTimer("pauseTimer", 0, false);
  wait.onTick = [&] { wait.SetEnabled(false); };
  Control& other = AddTimer("other", 100);
  int otherTicks = 0;
  other.onTick = [&] { ++otherTicks; };

  WaitForTimer(v.program, wait, 250);
  EXPECT_EQ(v.host.NowMs(), 250);
  EXPECT_EQ(otherTicks, 2);
  EXPECT_FALSE(wait.enabled());

  // No interval would never tick: the pause is the shortest one instead.
  WaitForTimer(v.program, wait, 0);
  EXPECT_EQ(v.host.NowMs(), 251);
  WaitForTimer(v.program, wait, -5);
  EXPECT_EQ(v.host.NowMs(), 252);
}

}  // namespace
}  // namespace vu::toolkit::testing
