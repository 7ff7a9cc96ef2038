// The scanning page's animation: the tick handlers of its four timers and the pacing procedures
// the run driver uses. What the user sees advancing is paced by these timers, not by the work.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "common/vb.h"
#include "optimizer/engine/engine.h"

namespace vu::optimizer {

// The status texts whose trailing dots the animation cycles.
inline constexpr std::string_view kInitializing = "Initializing";
inline constexpr std::string_view kAnalysing = "Analysing your system drive";
inline constexpr std::string_view kCreatingMap = "Creating file map of your system";

// The successor of |text| in the cycle base -> "base." -> "base. ." -> "base. . ." -> base;
// a text outside the cycle comes back unchanged.
std::string NextInDotCycle(std::string_view text, std::string_view base);

// waitTimer: the first tick marks the pause "on", the second ends it.
void WaitTimerTick(Engine& engine);
// labelTimer: cycles statusLabel's dots, then yields once.
void LabelTimerTick(Engine& engine);
// startProgressTimer: the three-phase start-up animation that runs while shortcuts are found.
void StartProgressTimerTick(Engine& engine);
// progressTimer: fills the bar to exactly 100 at a fixed or random pace, then stops.
void ProgressTimerTick(Engine& engine);

// Starts the bar for one step: random pace (the duration is then ignored) or a fixed pace that
// fills the bar in 34 ticks of duration / 3 / 20 milliseconds.
void StartProgress(Engine& engine, common::VbBool randomPace, std::int32_t duration);
// Returns once the bar stands at exactly 100.
void WaitForProgress(Engine& engine);
// Returns once waitTimer has ticked twice: about 2 x |interval|. A pause started while another
// is under way shares the timer, and both end together.
void Pause(Engine& engine, std::int16_t interval);

}  // namespace vu::optimizer
