#include "platform/clock.h"

#include <gtest/gtest.h>

namespace vu::platform {
namespace {

TEST(VirtualClock, StartsAtItsFixedTimeAndMovesOnlyForward) {
  VirtualClock clock;
  EXPECT_EQ(clock.ElapsedMs(), 0);
  EXPECT_EQ(clock.Now(), (LocalTime{2000, 1, 1, 10, 0, 0, 0}));
  clock.AdvanceTo(3'723'456);
  EXPECT_EQ(clock.Now(), (LocalTime{2000, 1, 1, 11, 2, 3, 456}));
  clock.AdvanceTo(5);
  EXPECT_EQ(clock.ElapsedMs(), 3'723'456);
}

TEST(VirtualClock, CarriesOverMidnightMonthsYearsAndLeapDays) {
  VirtualClock newYear(LocalTime{1999, 12, 31, 23, 59, 59, 500});
  newYear.AdvanceTo(600);
  EXPECT_EQ(newYear.Now(), (LocalTime{2000, 1, 1, 0, 0, 0, 100}));

  VirtualClock leap(LocalTime{2000, 2, 28, 12, 0, 0, 0});
  leap.AdvanceTo(24LL * 3600 * 1000);
  EXPECT_EQ(leap.Now(), (LocalTime{2000, 2, 29, 12, 0, 0, 0}));
  leap.AdvanceTo(2LL * 24 * 3600 * 1000);
  EXPECT_EQ(leap.Now(), (LocalTime{2000, 3, 1, 12, 0, 0, 0}));

  VirtualClock plain(LocalTime{1999, 2, 28, 12, 0, 0, 0});
  plain.AdvanceTo(24LL * 3600 * 1000);
  EXPECT_EQ(plain.Now(), (LocalTime{1999, 3, 1, 12, 0, 0, 0}));
}

}  // namespace
}  // namespace vu::platform
