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

// A host file whose stamp is asked for at every call of the sandbox: its folder is held open,
// so that each look walks one name instead of the whole path. Falls back to the path when the
// folder cannot be opened.
class WatchedFile {
 public:
  explicit WatchedFile(std::string path);
  ~WatchedFile();
  WatchedFile(const WatchedFile&) = delete;
  WatchedFile& operator=(const WatchedFile&) = delete;

  const std::string& path() const { return path_; }
  FileStamp Stamp() const;

 private:
  std::string path_;
  std::string name_;  // the last name of |path_|
  int folder_ = -1;
};

}  // namespace vu::platform::sandbox
