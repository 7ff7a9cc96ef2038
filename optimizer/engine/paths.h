// The Optimizer's own path procedures, used by the shortcut search, the cleaners and the drive
// scan, beside the ones all programs share (common/paths.h). Paths are Windows paths in UTF-8;
// "characters" are code points.
#pragma once

#include <string>
#include <string_view>

#include "common/paths.h"
#include "platform/system.h"

namespace vu::optimizer {

using common::GetParentFolder;
using common::IsFolderEmpty;
using common::QualifyPath;

// The system directory as the 255-character ANSI call returns it: empty when it does not fit
// (254 characters and its NUL at most) or cannot be had.
std::string GetSystemDir(vu::platform::System& system);

// Everything before the first NUL, or the text itself when it holds none.
std::string TrimNull(std::string_view text);

// The characters of |text| in reverse order.
std::string ReverseString(std::string_view text);

}  // namespace vu::optimizer
