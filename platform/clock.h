// Time as a program reads it, injected rather than read from the host: the milliseconds since
// the program started (timers, pacing) and the local time of day (stamps a user reads, such as
// backup folder names). A headless run on a virtual clock hands one VirtualClock to both the
// form host and the machine, so every reading is the same from one run to the next.
#pragma once

#include <cstdint>

namespace vu::platform {

// Local wall-clock time.
struct LocalTime {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0, millisecond = 0;
  bool operator==(const LocalTime&) const = default;
};

class Clock {
 public:
  Clock() = default;
  Clock(const Clock&) = delete;
  Clock& operator=(const Clock&) = delete;
  virtual ~Clock() = default;

  // Milliseconds since the clock started; never goes back.
  virtual std::int64_t ElapsedMs() = 0;
  // The local time now.
  virtual LocalTime Now() = 0;
};

// Time that passes only when told to: its start plus the milliseconds advanced so far.
class VirtualClock final : public Clock {
 public:
  // Saturday 1 January 2000, 10:00:00.000: a fixed start, so that runs repeat exactly.
  static constexpr LocalTime kStart{2000, 1, 1, 10, 0, 0, 0};

  explicit VirtualClock(LocalTime start = kStart) : start_(start) {}

  std::int64_t ElapsedMs() override { return elapsed_; }
  LocalTime Now() override;
  const LocalTime& start() const { return start_; }

  // Moves the clock to |ms| since its start; a time in the past leaves it where it is.
  void AdvanceTo(std::int64_t ms) {
    if (ms > elapsed_) elapsed_ = ms;
  }

 private:
  LocalTime start_;
  std::int64_t elapsed_ = 0;
};

}  // namespace vu::platform
