#include "toolkit/headless/host.h"

#include <algorithm>
#include <cmath>
#include <ctime>
#include <iostream>
#include <limits>
#include <thread>

#include "toolkit/headless/transcript.h"
#include "toolkit/script.h"

namespace vu::toolkit {

namespace {
constexpr std::int64_t kNever = std::numeric_limits<std::int64_t>::max();
}  // namespace

HeadlessHost::HeadlessHost(const HeadlessOptions& options)
    : options_(options), start_(std::chrono::steady_clock::now()) {
  if (options_.pixelsPerInch <= 0) options_.pixelsPerInch = 96;
  if (options_.transcript != nullptr) {
    transcript_ = std::make_unique<Transcript>(*options_.transcript, [this] { return NowMs(); });
  }
}

HeadlessHost::~HeadlessHost() = default;

std::int64_t HeadlessHost::NowMs() {
  if (options_.virtualClock) return virtualNow_;
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                               start_)
      .count();
}

double HeadlessHost::SecondsSinceMidnight() {
  if (options_.virtualClock) {
    return std::fmod(options_.virtualStartSeconds + static_cast<double>(virtualNow_) / 1000.0,
                     86400.0);
  }
  const auto now = std::chrono::system_clock::now();
  const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
  const std::tm* local = std::localtime(&seconds);
  if (local == nullptr) return 0;
  const auto ms =
      std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
  return local->tm_hour * 3600.0 + local->tm_min * 60.0 + local->tm_sec + ms / 1000.0;
}

void HeadlessHost::Pass() {
  Program* running = program();
  if (running == nullptr) return;
  running->PollScript();
  running->RunDueTimers(NowMs());
}

void HeadlessHost::DoEvents() {
  if (options_.virtualClock) ++virtualNow_;
  Pass();
}

void HeadlessHost::WaitForEvent() {
  Program* running = program();
  if (running == nullptr) return;
  const std::int64_t due = std::min(running->NextTimerDue(), running->NextScriptDue());
  if (due == kNever) Idle();
  // On the virtual clock no input comes but the script's: once it has ended, a program left
  // with nothing but animations to wait for would play them for ever.
  const Script* script = running->script();
  if (options_.virtualClock && script != nullptr && script->finished() &&
      running->NextWorkTimerDue() == kNever) {
    Idle();
  }
  const std::int64_t now = NowMs();
  if (options_.virtualClock) {
    // Nothing happens in between, so jumping is the same as stepping one millisecond at a time.
    virtualNow_ = std::max(now + 1, due);
  } else if (due > now) {
    std::this_thread::sleep_until(start_ + std::chrono::milliseconds(due));
  }
  Pass();
}

void HeadlessHost::RunModal(Form& form) {
  while (form.visible())
    WaitForEvent();
}

int HeadlessHost::Run() {
  try {
    for (;;) {
      if (program() == nullptr) Idle();
      WaitForEvent();
    }
  } catch (const EndProgram& end) {
    return end.exitCode;
  }
}

void HeadlessHost::Idle() {
  std::ostream& out = options_.errors ? *options_.errors : std::cerr;
  out << "program is idle: nothing left to happen" << std::endl;
  if (Program* running = program()) running->End(kExitIdle);
  throw EndProgram{kExitIdle};
}

void HeadlessHost::FormShown(Form& form) {
  if (transcript_) transcript_->FormShown(form);
}

void HeadlessHost::FormHidden(Form& form) {
  if (transcript_) transcript_->FormHidden(form);
}

void HeadlessHost::FormCaptionChanged(Form& form) {
  if (transcript_) transcript_->FormCaptionChanged(form);
}

void HeadlessHost::ControlChanged(Control& control, Prop prop) {
  if (transcript_) transcript_->ControlChanged(control, prop);
}

}  // namespace vu::toolkit
