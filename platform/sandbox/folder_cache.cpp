#include "platform/sandbox/folder_cache.h"

#include <dirent.h>
#include <sys/stat.h>
#include <time.h>

#include <algorithm>

#include "platform/text.h"

namespace vu::platform::sandbox {
namespace {

// Enough for the folders a run looks into at once, small against the memory a run may use.
constexpr std::size_t kNameLimit = 50000;

bool Before(const std::string& a, const std::string& b) {
  const int order = CompareNoCase(a, b);
  return order != 0 ? order < 0 : a < b;
}

}  // namespace

void FolderCache::Load(const std::string& path, Folder& folder) {
  nameCount_ -= folder.names.size();
  folder.names.clear();
  folder.byUpper.clear();
  folder.trusted = false;
  // A change after this moment gets a change time at or after it (the file system stamps from
  // the same clock), so names read now stay right while the change time is older than it.
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
  for (const std::string& name : folder.names) {
    // Sorted byte-wise within equal upper case, so the first one kept is the smallest.
    folder.byUpper.emplace(UpperCase(name), name);
  }
  nameCount_ += folder.names.size();
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return;
  folder.inode = info.st_ino;
  folder.changed = Time{info.st_mtim.tv_sec, info.st_mtim.tv_nsec};
  folder.trusted = folder.changed < Time{before.tv_sec, before.tv_nsec};
}

FolderCache::Folder* FolderCache::Get(const std::string& path) {
  auto found = folders_.find(path);
  if (found != folders_.end()) {
    Folder& folder = found->second;
    struct stat info {};
    const bool same = folder.trusted && ::stat(path.c_str(), &info) == 0 &&
                      info.st_ino == folder.inode &&
                      folder.changed == Time{info.st_mtim.tv_sec, info.st_mtim.tv_nsec};
    if (!same) Load(path, folder);
    uses_.splice(uses_.begin(), uses_, folder.use);
    return &folder;
  }
  uses_.push_front(path);
  Folder& folder = folders_[path];
  folder.use = uses_.begin();
  Load(path, folder);
  Trim();
  return &folders_.at(path);
}

void FolderCache::Trim() {
  // Never the folder just read, even when it alone is over the limit.
  while (nameCount_ > kNameLimit && uses_.size() > 1) {
    const auto last = folders_.find(uses_.back());
    nameCount_ -= last->second.names.size();
    folders_.erase(last);
    uses_.pop_back();
  }
}

bool FolderCache::FindNoCase(const std::string& folder, std::string_view name, std::string& found) {
  const Folder* known = Get(folder);
  const auto hit = known->byUpper.find(UpperCase(name));
  if (hit == known->byUpper.end()) return false;
  found = hit->second;
  return true;
}

const std::vector<std::string>& FolderCache::Names(const std::string& folder) {
  return Get(folder)->names;
}

void FolderCache::Forget(const std::string& folder) {
  const auto found = folders_.find(folder);
  if (found == folders_.end()) return;
  nameCount_ -= found->second.names.size();
  uses_.erase(found->second.use);
  folders_.erase(found);
}

}  // namespace vu::platform::sandbox
