#include "platform/clock.h"

#include <chrono>

namespace vu::platform {

LocalTime VirtualClock::Now() {
  using namespace std::chrono;
  const sys_days startDay{year{start_.year} / month{static_cast<unsigned>(start_.month)} /
                          day{static_cast<unsigned>(start_.day)}};
  const milliseconds sinceStartOfDay = hours{start_.hour} + minutes{start_.minute} +
                                       seconds{start_.second} + milliseconds{start_.millisecond};
  const sys_time<milliseconds> now = startDay + sinceStartOfDay + milliseconds{elapsed_};
  const sys_days today = floor<days>(now);
  const year_month_day date{today};
  const hh_mm_ss<milliseconds> time{now - today};
  LocalTime local;
  local.year = static_cast<int>(date.year());
  local.month = static_cast<int>(static_cast<unsigned>(date.month()));
  local.day = static_cast<int>(static_cast<unsigned>(date.day()));
  local.hour = static_cast<int>(time.hours().count());
  local.minute = static_cast<int>(time.minutes().count());
  local.second = static_cast<int>(time.seconds().count());
  local.millisecond = static_cast<int>(time.subseconds().count());
  return local;
}

}  // namespace vu::platform
