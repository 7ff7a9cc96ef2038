// Path preparation for the wide-character file calls. Pure text work, no system calls, so that it
// can be tested on its own.
#pragma once

#include <string>
#include <string_view>

namespace vu::platform::win32 {

// Paths at least this long get the "\\?\" form: CreateDirectoryW already refuses 248 characters
// (room is kept for an 8.3 name), the other calls MAX_PATH (260).
inline constexpr std::size_t kLongPathThreshold = 248;

// The path to hand to a wide-character file call. '/' counts as '\'. A short path only has its
// slashes turned; an absolute path of kLongPathThreshold characters or more ("C:\..." or
// "\\server\share\...") is normalised (doubled separators, "." and ".." resolved, as the system
// would) and given the "\\?\" or "\\?\UNC\" prefix, which lifts the MAX_PATH limit. A path
// that already carries a "\\?\" prefix is left alone.
std::string PrepareFilePath(std::string_view path);

// Everything before the last '\' or '/' of |path|, kept with its backslash at a drive root
// ("C:\x.exe" -> "C:\"); empty when there is no separator.
std::string FolderOf(std::string_view path);

}  // namespace vu::platform::win32
