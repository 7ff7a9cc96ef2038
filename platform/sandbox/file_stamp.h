// What tells a host file's versions apart without reading it: device, inode, size and the time
// of the last change. A file replaced by rename gets a new inode, so a replacement that keeps
// size and time is still seen.
#pragma once

#include <string>

namespace vu::platform::sandbox {

struct FileStamp {
  unsigned long long device = 0, inode = 0, size = 0;
  long long seconds = 0, nanoseconds = 0;
  bool exists = false;
  bool operator==(const FileStamp&) const = default;
};

// The stamp of |path| as it is now (|exists| false when it cannot be looked at).
FileStamp StampOf(const std::string& path);

}  // namespace vu::platform::sandbox
