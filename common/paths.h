// Path and text helpers of the three programs, one rule each. Paths are Windows paths in UTF-8;
// only "\" separates their parts unless a helper says otherwise. Trimming is platform/text.h's
// Trim (the sandbox and the tools trim too), named here so that the programs find it in one place.
#pragma once

#include <string>
#include <string_view>

#include "common/vb.h"
#include "platform/files.h"
#include "platform/text.h"

namespace vu::common {

// |text| without the blanks and tabs around it.
using vu::platform::Trim;

// "" stays ""; a path ending in "\" is returned unchanged; any other path gets "\" appended.
std::string QualifyPath(std::string_view path);

// Everything before the last "\" ("C:\x.lnk" gives "C:"); a path without "\" comes back whole.
std::string GetParentFolder(std::string_view path);

// A whole drive: a letter and ":", alone ("C:", the drive's current folder) or followed by one
// "\" or "/" ("C:\"). Neither is ever a folder of ours to remove.
bool IsDriveRoot(std::string_view path);

// The root folder ("C:\") of the drive a path starts with, "" when it starts with no drive
// letter (a network name, a relative path).
std::string DriveRoot(std::string_view path);

// The same file or folder named twice: case-insensitive, "/" as "\", doubled backslashes as one
// (but the two of a network name), a trailing "\" ignored but at a drive root.
bool SamePath(std::string_view a, std::string_view b);

// A command-line word: the text itself, or in double quotes when it holds a blank.
std::string QuoteIfBlank(std::string_view text);

// True when a listing of the folder holds no entry whose name does not begin with "." (so a
// folder holding only ".", ".." or names such as ".profile" is empty). A folder that cannot be
// listed is not empty.
VbBool IsFolderEmpty(vu::platform::FileSystem& files, std::string_view folder);

// Something of that name is there, file or folder.
bool PathExists(vu::platform::FileSystem& files, std::string_view path);

}  // namespace vu::common
