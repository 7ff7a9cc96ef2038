#include "platform/sandbox/file_stamp.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <utility>

namespace vu::platform::sandbox {
namespace {

FileStamp StampFrom(const struct stat& info) {
  FileStamp stamp;
  stamp.exists = true;
  stamp.device = info.st_dev;
  stamp.inode = info.st_ino;
  stamp.size = static_cast<unsigned long long>(info.st_size);
  stamp.seconds = info.st_mtim.tv_sec;
  stamp.nanoseconds = info.st_mtim.tv_nsec;
  return stamp;
}

}  // namespace

FileStamp StampOf(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return FileStamp{};
  return StampFrom(info);
}

WatchedFile::WatchedFile(std::string path) : path_(std::move(path)) {
  const std::size_t cut = path_.rfind('/');
  if (cut == std::string::npos || cut + 1 == path_.size()) return;
  name_ = path_.substr(cut + 1);
  const std::string folder = cut == 0 ? "/" : path_.substr(0, cut);
  folder_ = ::open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
}

WatchedFile::~WatchedFile() {
  if (folder_ >= 0) ::close(folder_);
}

FileStamp WatchedFile::Stamp() const {
  if (folder_ < 0) return StampOf(path_);
  struct stat info {};
  if (::fstatat(folder_, name_.c_str(), &info, 0) != 0) return FileStamp{};
  return StampFrom(info);
}

}  // namespace vu::platform::sandbox
