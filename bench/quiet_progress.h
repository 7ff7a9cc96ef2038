// The progress of a run that nobody watches: no animation, no pauses, no yields. The benchmarks
// time the cleaners' own work with it.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "optimizer/engine/run_progress.h"

namespace vu::bench {

class QuietProgress final : public vu::optimizer::RunProgress {
 public:
  void SearchBegins() override {}
  void SearchEnds() override {}
  void ListSteps(const vu::optimizer::SelectionFlags&) override {}
  void StepBegins(vu::optimizer::Step, vu::common::VbBool, std::int32_t) override {}
  void StepEnds(vu::optimizer::Step, vu::optimizer::StepOutcome) override {}
  void ShowResults(const vu::optimizer::SelectionFlags&,
                   const std::array<vu::optimizer::StepOutcome, vu::optimizer::kStepCount>&,
                   const std::string&) override {}
  bool BarFull() override { return true; }
  void WaitForBar() override {}
  void PaceBar(int) override {}
  void Pause(std::int16_t) override {}
  void Yield() override {}
  void Randomize() override {}
  float Random() override { return 0.5f; }
  void ShowSection(const std::string&) override {}
  void ShowKey(const std::string&) override {}
  void ShowFileLine(const std::string&) override {}
  vu::optimizer::ScreenFigures Screen() override { return {}; }
};

}  // namespace vu::bench
