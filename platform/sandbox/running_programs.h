// The programs running on a sandbox machine: MACHINE/running.txt, one Windows path a line, set
// by `vmachine running`. A running program's file is in use, as on Windows: it can be neither
// deleted nor replaced (ERROR_SHARING_VIOLATION), only deleted when the machine next starts.
// The deletions asked for that way are "delete-at-restart <path>" lines of the journal.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/sandbox/paths.h"
#include "platform/status.h"

namespace vu::platform::sandbox {

inline constexpr std::string_view kRestartDeletionPrefix = "delete-at-restart ";

class RunningPrograms {
 public:
  RunningPrograms(const std::string& machineDir, const PathResolver& resolver);

  // Whether |path| names a running program's file, in any spelling (an 8.3 alias included).
  bool InUse(std::string_view path) const;

 private:
  std::string machineDir_;
  const PathResolver& resolver_;
};

// The running programs' paths as listed; none when the file is missing.
std::vector<std::string> ReadRunningPrograms(const std::string& machineDir);
// Replaces the list (an empty one removes the file).
Status WriteRunningPrograms(const std::string& machineDir, const std::vector<std::string>& paths);

// The files a machine's journal says are to be deleted when it next starts, in the order asked.
std::vector<std::string> RestartDeletions(const std::string& machineDir);

}  // namespace vu::platform::sandbox
