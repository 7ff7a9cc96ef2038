// A RunProgress that shows nothing: it writes down what a run reported, in order, so that the
// engine can be tested on a sandbox machine without the wizard. Its bar fills after a chosen
// number of yields, and its random numbers come from a list the test gives.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "optimizer/engine/run_progress.h"

namespace vu::optimizer::testing {

class RecordingProgress : public RunProgress {
 public:
  // Every report as one line ("yield", "pause 300", "key software", ...), in order; yields are
  // only counted, as the cleaners yield thousands of times.
  std::vector<std::string> events;
  int yields = 0;
  // The bar is full once this many yields happened since the last step began (never when < 0).
  int fullAfterYields = -1;
  // Returned by Random in turn, the last one repeated; 0 when empty.
  std::vector<float> randoms;
  ScreenFigures screen{800, 600, 15, 15};

  // The number of events that start with |prefix|.
  int Count(const std::string& prefix) const;
  // The last event that starts with |prefix|, without the prefix; "" when there is none.
  std::string Last(const std::string& prefix) const;

  void SearchBegins() override;
  void SearchEnds() override;
  void ListSteps(const SelectionFlags& flags) override;
  void StepBegins(Step step, common::VbBool randomPace, std::int32_t duration) override;
  void StepEnds(Step step, StepOutcome outcome) override;
  void ShowResults(const SelectionFlags& flags, const std::array<StepOutcome, kStepCount>& outcomes,
                   const std::string& backupFolder) override;
  bool BarFull() override;
  void WaitForBar() override;
  void PaceBar(int intervalMs) override;
  void Pause(std::int16_t interval) override;
  void Yield() override;
  void Randomize() override;
  float Random() override;
  void ShowSection(const std::string& section) override;
  void ShowKey(const std::string& name) override;
  void ShowFileLine(const std::string& line) override;
  ScreenFigures Screen() override { return screen; }

 private:
  int yieldsInStep_ = 0;
  std::size_t nextRandom_ = 0;
};

}  // namespace vu::optimizer::testing
