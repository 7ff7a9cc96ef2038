// Which topic of the help file F1 opens for the page the wizard shows. The numbers are the
// context numbers the help source maps to its topics (help/optimizer.txt, "!map").
#pragma once

#include <cstdint>
#include <string_view>

namespace vu::optimizer {

inline constexpr std::uint32_t kHelpModes = 10;       // welcome and Custom pages
inline constexpr std::uint32_t kHelpRunning = 20;     // the scanning page
inline constexpr std::uint32_t kHelpResults = 30;     // the results page
inline constexpr std::uint32_t kHelpFirstPage = 101;  // selection page k is kHelpFirstPage + k - 1

// The topic for a wizard showing |caption|, with |title| on its selection panel; |running| while
// a run is under way (its caption is still that of the page it started from).
std::uint32_t WizardHelpContext(std::string_view caption, std::string_view title, bool running);

}  // namespace vu::optimizer
