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

// A timer of interval 0 or disabled never ticks; one of 1 ms ticks on every pass; one disabled
// in its own tick stays disabled.
TEST_F(TimerTest, OffZeroFastAndSelfDisablingTimers) {
  Control& zero = AddTimer("zero", 0);
  Control& off = AddTimer("off", 10, false);
  int silent = 0;
  zero.onTick = off.onTick = [&] { ++silent; };
  v.StepTo(500);
  EXPECT_EQ(silent, 0);
  EXPECT_EQ(v.program.NextTimerDue(), INT64_MAX);

  Control& fast = AddTimer("fast", 1);
  Control& once = AddTimer("once", 40);
  int fastTicks = 0, onceTicks = 0;
  fast.onTick = [&] { ++fastTicks; };
  once.onTick = [&] {
    ++onceTicks;
    once.SetEnabled(false);
  };
  v.StepTo(550);
  EXPECT_EQ(fastTicks, 50);
  EXPECT_EQ(onceTicks, 1);
  EXPECT_FALSE(once.enabled());
  EXPECT_EQ(silent, 0);
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
