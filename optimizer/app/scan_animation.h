// The scanning page's status texts and the cycle of trailing dots its timers play on them.
#pragma once

#include <string>
#include <string_view>

namespace vu::optimizer {

// The status texts whose trailing dots the animation cycles.
inline constexpr std::string_view kInitializing = "Initializing";
inline constexpr std::string_view kAnalysing = "Analysing your system drive";
inline constexpr std::string_view kCreatingMap = "Creating file map of your system";

// The successor of |text| in the cycle base -> "base." -> "base. ." -> "base. . ." -> base;
// a text outside the cycle comes back unchanged.
std::string NextInDotCycle(std::string_view text, std::string_view base);

}  // namespace vu::optimizer
