// What a run shows the user, as the engine sees it. The run driver and the operations report the
// step that starts, what is being searched, the pauses and the yields through this interface; the
// wizard shows them with its labels, timers and pacing. So the engine needs no forms, and a test
// can watch a run through a small recording implementation.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "common/vb.h"
#include "optimizer/engine/state.h"

namespace vu::optimizer {

// The screen the wizard is shown on, for the system facts: its size in pixels and the whole
// twips a pixel takes.
struct ScreenFigures {
  int widthPixels = 0;
  int heightPixels = 0;
  int twipsPerPixelX = 0;
  int twipsPerPixelY = 0;
};

class RunProgress {
 public:
  virtual ~RunProgress() = default;

  // The start-up animation, played while every shortcut of the drive is found.
  virtual void SearchBegins() = 0;
  // The search is over: the bar stands full and the animation stops.
  virtual void SearchEnds() = 0;
  // The list of steps appears, those not selected greyed.
  virtual void ListSteps(const SelectionFlags& flags) = 0;
  // A step begins: its bar starts filling, at a random pace or at a fixed pace that fills it in
  // about |duration| ms, and its line is marked as the one at work.
  virtual void StepBegins(Step step, common::VbBool randomPace, std::int32_t duration) = 0;
  // The step's line is ticked as done, whether it worked or not (the results page tells that),
  // or marked as not needed on this Windows.
  virtual void StepEnds(Step step, StepOutcome outcome) = 0;
  // The results page: each step's outcome, and the backup folder (empty when nothing was saved).
  virtual void ShowResults(const SelectionFlags& flags,
                           const std::array<StepOutcome, kStepCount>& outcomes,
                           const std::string& backupFolder) = 0;

  // The step's bar has reached its end.
  virtual bool BarFull() = 0;
  // Returns once the bar is full.
  virtual void WaitForBar() = 0;
  // The bar fills on at one step every |intervalMs|.
  virtual void PaceBar(int intervalMs) = 0;
  // Returns after about twice |interval| ms; a pause begun during another ends with it.
  virtual void Pause(std::int16_t interval) = 0;
  // Lets the user's input, the animation and repaints run, then returns.
  virtual void Yield() = 0;
  // The pacing's random numbers: a fresh seed, and the next number in [0, 1).
  virtual void Randomize() = 0;
  virtual float Random() = 0;

  // What the step at work is looking at: the part of the registry, the key, a line of a file.
  virtual void ShowSection(const std::string& section) = 0;
  virtual void ShowKey(const std::string& name) = 0;
  virtual void ShowFileLine(const std::string& line) = 0;

  virtual ScreenFigures Screen() = 0;
};

}  // namespace vu::optimizer
