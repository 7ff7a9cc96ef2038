#include "platform/sandbox/folder_cache.h"

#include <dirent.h>
#include <sys/stat.h>
#include <time.h>

#include <algorithm>

#include "platform/text.h"

namespace vu::platform::sandbox {
namespace {

// Enough for every folder a registry walk over a big drive keeps coming back to (a few tens of
// bytes a name), small against the memory a run may use.
constexpr std::size_t kNameLimit = 400000;

bool Before(const std::string& a, const std::string& b) {
  const int order = CompareNoCase(a, b);
  return order != 0 ? order < 0 : a < b;
}

}  // namespace

void FolderCache::Load(const std::string& path, Folder& folder, const struct stat* looked) {
  nameCount_ -= folder.names.size();
  folder.names.clear();
  folder.trusted = false;
  // A change after this moment gets a change time at or after it (the file system stamps from
  // the same clock), so names read now stay right while the change time is older than it. A
  // stat the caller took earlier is older still: a change in between shows as a new time.
  timespec before{};
  clock_gettime(CLOCK_REALTIME_COARSE, &before);
  if (DIR* dir = ::opendir(path.c_str())) {
    while (const dirent* entry = ::readdir(dir)) {
      const std::string_view name = entry->d_name;
      if (name == "." || name == "..") continue;
      folder.names.emplace_back(name);
    }
    ::closedir(dir);
  }
  std::sort(folder.names.begin(), folder.names.end(), Before);
  folder.names.shrink_to_fit();
  nameCount_ += folder.names.size();
  struct stat info {};
  if (looked == nullptr) {
    if (::stat(path.c_str(), &info) != 0) return;
    looked = &info;
  }
  folder.inode = looked->st_ino;
  folder.changed = Time{looked->st_mtim.tv_sec, looked->st_mtim.tv_nsec};
  folder.trusted = folder.changed < Time{before.tv_sec, before.tv_nsec};
}

FolderCache::Folder* FolderCache::Get(const std::string& path, const struct stat* looked) {
  auto found = folders_.find(path);
  if (found != folders_.end()) {
    Folder& folder = found->second;
    struct stat info {};
    if (looked == nullptr && ::stat(path.c_str(), &info) == 0) looked = &info;
    const bool same = folder.trusted && looked != nullptr && looked->st_ino == folder.inode &&
                      folder.changed == Time{looked->st_mtim.tv_sec, looked->st_mtim.tv_nsec};
    if (!same) Load(path, folder, looked);
    uses_.splice(uses_.begin(), uses_, folder.use);
    return &folder;
  }
  const auto made = folders_.emplace(path, Folder{}).first;
  uses_.push_front(&made->first);
  made->second.use = uses_.begin();
  Load(path, made->second, looked);
  Trim();
  return &folders_.at(path);
}

void FolderCache::Trim() {
  // Never the folder just read, even when it alone is over the limit.
  while (nameCount_ > kNameLimit && uses_.size() > 1) {
    const auto last = folders_.find(*uses_.back());
    nameCount_ -= last->second.names.size();
    uses_.pop_back();
    folders_.erase(last);
  }
}

bool FolderCache::FindNoCase(const std::string& folder, std::string_view name, std::string& found,
                             const struct stat* looked) {
  const std::vector<std::string>& names = Get(folder, looked)->names;
  // Sorted without regard to case and byte-wise among equals: the first equal one is the
  // smallest.
  const auto hit = std::lower_bound(names.begin(), names.end(), name,
                                    [](const std::string& known, std::string_view wanted) {
                                      return CompareNoCase(known, wanted) < 0;
                                    });
  if (hit == names.end() || CompareNoCase(*hit, name) != 0) return false;
  found = *hit;
  return true;
}

const std::vector<std::string>& FolderCache::Names(const std::string& folder) {
  return Get(folder, nullptr)->names;
}

void FolderCache::Forget(const std::string& folder) {
  const auto found = folders_.find(folder);
  if (found == folders_.end()) return;
  nameCount_ -= found->second.names.size();
  uses_.erase(found->second.use);
  folders_.erase(found);
}

}  // namespace vu::platform::sandbox
