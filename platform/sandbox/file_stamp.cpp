#include "platform/sandbox/file_stamp.h"

#include <sys/stat.h>

namespace vu::platform::sandbox {

FileStamp StampOf(const std::string& path) {
  FileStamp stamp;
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return stamp;
  stamp.exists = true;
  stamp.device = info.st_dev;
  stamp.inode = info.st_ino;
  stamp.size = static_cast<unsigned long long>(info.st_size);
  stamp.seconds = info.st_mtim.tv_sec;
  stamp.nanoseconds = info.st_mtim.tv_nsec;
  return stamp;
}

}  // namespace vu::platform::sandbox
