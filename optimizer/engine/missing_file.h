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
// as evidence that it is gone. A name the file system refuses (wildcards, quotes) is Invalid: it
// names no file, now or later. Anything else (denied, not ready, a sharing violation) is
// Unknown: the question could not be answered this time, so nothing may be concluded from it.
enum class PathState { Exists, Missing, Unknown, Invalid };
PathState ProbePath(vu::platform::FileSystem& files, std::string_view path);

// True for a status that says a read could not be done this time (denied, locked, not ready,
// out of memory, ...), as opposed to an answer about what is there.
bool IsFailedRead(vu::platform::Status status);

// How the start of a command-like text resolves. The readings tried, in order: the text itself,
// TrimAfterExtension of it, then the text cut before each blank, comma or semicolon (from the
// last to the first) after which no "\" follows, so that a cut never stops inside a path that
// carries on ("C:\Program Files\App Old\x.exe" is never read as "C:\Program Files\App").
// Exists with the length of the first reading found; Missing only when every reading that names
// something was reported not found; Unknown when any of them could not be judged (or none names
// anything).
struct PathHead {
  PathState state = PathState::Unknown;
  std::size_t length = 0;  // bytes of the existing head
};
PathHead ResolvePathHead(vu::platform::FileSystem& files, std::string_view text);

// True for a text shorter than 256 characters that starts with a drive path ("X:\") on the
// system drive. The system directory is read anew on every call.
bool IsSystemDrivePath(vu::platform::System& system, std::string_view text);

// The verdict on a text a cleaner judges: Missing (delete it), Exists or Invalid (keep it, all is
// well), Unknown (keep it, but the check could not be made: the step did not finish its work).
// A text that is not a path on the system drive is Exists: it is never judged.
PathState JudgeMissingFile(vu::platform::Machine& machine, std::string_view text);

// JudgeMissingFile for many texts in a row, as a walk judges them: the system directory, which
// does not change while Windows runs, is read once, when the judge is made.
class MissingFileJudge {
 public:
  explicit MissingFileJudge(vu::platform::Machine& machine);
  PathState operator()(std::string_view text) const;

 private:
  vu::platform::Machine& machine_;
  std::string systemDir_;
};

// True (-1) when |text| is a path on the system drive of which no reading names an existing file
// or folder and every reading was reported not found. A path on another drive, a relative,
// quoted or network path is never missing.
common::VbBool IsMissingFile(vu::platform::Machine& machine, std::string_view text);

}  // namespace vu::optimizer
