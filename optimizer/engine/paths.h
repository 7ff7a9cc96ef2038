// The Optimizer's path and folder procedures, shared by the shortcut search, the cleaners and the
// drive scan. Paths are Windows paths in UTF-8; "characters" are code points.
#pragma once

#include <string>
#include <string_view>

#include "common/vb.h"
#include "platform/files.h"
#include "platform/system.h"

namespace vu::optimizer {

// The system directory as the 255-character ANSI call returns it: empty when it does not fit
// (254 characters and its NUL at most) or cannot be had.
std::string GetSystemDir(vu::platform::System& system);

// "" stays ""; a path ending in "\" is returned unchanged; any other path gets "\" appended.
std::string QualifyPath(std::string_view path);

// Everything before the first NUL, or the text itself when it holds none.
std::string TrimNull(std::string_view text);

// The characters of |text| in reverse order.
std::string ReverseString(std::string_view text);

// Everything before the last "\" ("C:\x.lnk" gives "C:"); a path without "\" comes back whole.
std::string GetParentFolder(std::string_view path);

// True when a listing of the folder holds no entry whose name does not begin with "." (so a
// folder holding only ".", ".." or names such as ".profile" is empty). A folder that cannot be
// listed is not empty.
common::VbBool IsFolderEmpty(vu::platform::FileSystem& files, std::string_view folder);

}  // namespace vu::optimizer
