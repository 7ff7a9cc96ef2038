// The few colours the Optimizer's forms set themselves.
#pragma once

#include "toolkit/control.h"

namespace vu::optimizer {

// The darker line of every two-line separator, and the grey of a step that was not performed.
inline constexpr toolkit::Color kGreyLine = toolkit::kGrey;
// Status texts, result lines and the "report it" link.
inline constexpr toolkit::Color kBlue = toolkit::Rgb(0, 0, 255);

}  // namespace vu::optimizer
