// The cleaners' missing-file test: whether a text from the registry or a shortcut names a file
// on the system drive that is gone.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "common/vb.h"
#include "platform/files.h"
#include "platform/machine.h"

namespace vu::optimizer {

// The text cut after its first "." and the three characters that follow, or fewer when a ","
// comes sooner ("C:\A\B.X,1" gives "C:\A\B.X"); a text without "." comes back unchanged.
std::string TrimAfterExtension(std::string_view text);

// The text cut after its first "." and the three characters that follow, whatever they are;
// a text without "." comes back unchanged.
std::string CutAfterDot(std::string_view text);

// What the attribute call says about one path. Only "file not found" and "path not found" count
// as evidence that it is gone: a name the file system refuses (wildcards, quotes), a drive that
// is not ready or a denied access tell nothing.
enum class PathState { Exists, Missing, Unknown };
PathState ProbePath(vu::platform::FileSystem& files, std::string_view path);

// How the start of a command-like text resolves: the longest head that names an existing file or
// folder (the text itself, then TrimAfterExtension of it, then the text cut before a blank or a
// comma), or Missing when none exists and at least one of them was reported not found.
struct PathHead {
  PathState state = PathState::Unknown;
  std::size_t length = 0;  // bytes of the existing head
};
PathHead ResolvePathHead(vu::platform::FileSystem& files, std::string_view text);

// True for a text shorter than 256 characters that starts with a drive path ("X:\") on the
// system drive. The system directory is read anew on every call.
bool IsSystemDrivePath(vu::platform::System& system, std::string_view text);

// True (-1) when |text| is a path on the system drive of which no reading names an existing file
// or folder. A path on another drive, a relative, quoted or network path is never missing.
common::VbBool IsMissingFile(vu::platform::Machine& machine, std::string_view text);

}  // namespace vu::optimizer
