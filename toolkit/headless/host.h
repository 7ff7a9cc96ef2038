// The headless host: the toolkit's model without windows, on a real clock or a virtual one.
// On the virtual clock time passes only while the program waits, so a run of minutes plays in
// milliseconds and identically every time. With a transcript stream it reports, line by line,
// what a user would see change.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <ostream>

#include "toolkit/program.h"

namespace vu::toolkit {

class Transcript;

struct HeadlessOptions {
  bool virtualClock = true;
  std::ostream* transcript = nullptr;  // null: no transcript
  std::ostream* errors = nullptr;      // null: standard error
  // The screen, from the machine's facts.
  int screenWidthPixels = 800;
  int screenHeightPixels = 600;
  int pixelsPerInch = 96;
  // The virtual clock's time of day at start, in seconds since midnight (for Timer/Randomize).
  double virtualStartSeconds = 10 * 3600;
};

class HeadlessHost : public Host {
 public:
  explicit HeadlessHost(const HeadlessOptions& options);
  ~HeadlessHost() override;

  std::int64_t NowMs() override;
  double SecondsSinceMidnight() override;

  // Virtual clock: one millisecond passes, then the script is polled and due timers tick.
  void DoEvents() override;
  // Jumps (virtual) or sleeps (real) to the next timer or script step and runs it. When nothing
  // can ever happen again the program ends with kExitIdle; on the virtual clock also when its
  // script has ended and only animation timers are left.
  void WaitForEvent() override;
  void RunModal(Form& form) override;
  int Run() override;

  int ScreenWidthPixels() override { return options_.screenWidthPixels; }
  int ScreenHeightPixels() override { return options_.screenHeightPixels; }
  int TwipsPerPixelX() override { return 1440 / options_.pixelsPerInch; }
  int TwipsPerPixelY() override { return 1440 / options_.pixelsPerInch; }

  void FormShown(Form& form) override;
  void FormHidden(Form& form) override;
  void FormCaptionChanged(Form& form) override;
  void ControlChanged(Control& control, Prop prop) override;

 private:
  void Pass();
  [[noreturn]] void Idle();

  HeadlessOptions options_;
  std::int64_t virtualNow_ = 0;
  std::chrono::steady_clock::time_point start_;
  std::unique_ptr<Transcript> transcript_;
};

}  // namespace vu::toolkit
