// The run driver: one optimization run from the start-up animation to the results page, and the
// restart the wizard asks for when the user leaves the results page.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "common/vb.h"
#include "optimizer/engine/engine.h"
#include "platform/system.h"

namespace vu::optimizer {

// How one step is paced.
struct StepPacing {
  Step step;
  common::VbBool randomPace;
  std::int32_t duration;  // ms; ignored with randomPace
  bool scan;              // walks the system drive while the bar fills
  bool waitForBar;
  std::int16_t pause;  // ms, of which the pause lasts about twice as long
};

// The ten steps in the order a run performs them.
extern const std::array<StepPacing, kStepCount> kRunOrder;

// Each step's line on the results page, by Index(Step); the backup names its changes by it too.
inline constexpr std::array<std::string_view, kStepCount> kResultCaptions = {
    "Broken links fixed",    "Registry erros fixed",      "VirtualCache optimized",
    "DOS BootMenu spedup",   "Invalid Uninstall removed", "Internet connection optimized",
    "File System optimized", "Startup folder optimized",  "StartMenu spedup",
    "Orphaned .dlls removed"};

// Performs the selected steps, showing them through engine.progress, and ends on the results. Each
// step's outcome is recorded in state.outcomes; a step without an operation counts as failed, and
// the broken-links step also fails when the shortcut search did not see the whole drive.
void RunOptimization(Engine& engine, const Operations& operations);

// Asks the system to shut down and restart (EWX_SHUTDOWN | EWX_REBOOT, reserved 1). Whether the
// system agrees is not looked at: the program ends either way.
void RestartWindows(vu::platform::System& system);

}  // namespace vu::optimizer
