// The progress of a run that nobody watches: nothing is shown, no bar needs filling and nothing
// waits, so the run does its work at once. The Optimizer's run with no window uses it, and so do
// the benchmarks, which time the cleaners' own work.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "optimizer/engine/run_progress.h"
#include "platform/system.h"

namespace vu::optimizer {

class UnwatchedProgress final : public RunProgress {
 public:
  // |system| answers for the screen the wizard would have been shown on (the system facts read
  // it); without one the screen is unknown.
  explicit UnwatchedProgress(vu::platform::System* system = nullptr) : system_(system) {}

  // The backup folder the results name; empty when nothing was changed.
  std::string backupFolder;

  void SearchBegins() override {}
  void SearchEnds() override {}
  void ListSteps(const SelectionFlags&) override {}
  void StepBegins(Step, common::VbBool, std::int32_t) override {}
  void StepEnds(Step, StepOutcome) override {}
  void ShowResults(const SelectionFlags&, const std::array<StepOutcome, kStepCount>&,
                   const std::string& folder) override {
    backupFolder = folder;
  }
  bool BarFull() override { return true; }
  void WaitForBar() override {}
  void PaceBar(int) override {}
  void Pause(std::int16_t) override {}
  void Yield() override {}
  void Randomize() override {}
  // The random numbers only pace a walk nobody sees.
  float Random() override { return 0.5f; }
  void ShowSection(const std::string&) override {}
  void ShowKey(const std::string&) override {}
  void ShowFileLine(const std::string&) override {}
  ScreenFigures Screen() override {
    if (system_ == nullptr) return {};
    const int perInch = system_->LogPixelsX();
    const int twips = perInch > 0 ? 1440 / perInch : 15;
    return ScreenFigures{system_->Metric(SM_CXSCREEN), system_->Metric(SM_CYSCREEN), twips, twips};
  }

 private:
  vu::platform::System* system_;
};

}  // namespace vu::optimizer
