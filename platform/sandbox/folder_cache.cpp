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

}  // namespace

std::vector<std::size_t> ListingOrder(const std::vector<std::string>& names) {
  // Upper-cased UTF-8 compares byte by byte in the order of its characters, which is the order
  // CompareNoCase gives.
  std::vector<std::string> keys;
  keys.reserve(names.size());
  for (const std::string& name : names)
    keys.push_back(UpperCase(name));
  std::vector<std::size_t> order(names.size());
  for (std::size_t i = 0; i < order.size(); ++i)
    order[i] = i;
  std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
    const int compared = keys[a].compare(keys[b]);
    return compared != 0 ? compared < 0 : names[a] < names[b];
  });
  return order;
}

void FolderCache::Load(const std::string& path, Folder& folder, const struct stat* looked) {
  nameCount_ -= folder.size();
  folder.names.clear();
  folder.ends.clear();
  folder.trusted = false;
  // A change after this moment gets a change time at or after it (the file system stamps from
  // the same clock), so names read now stay right while the change time is older than it. A
  // stat the caller took earlier is older still: a change in between shows as a new time.
  timespec before{};
  clock_gettime(CLOCK_REALTIME_COARSE, &before);
  std::vector<std::string> names;
  if (DIR* dir = ::opendir(path.c_str())) {
    while (const dirent* entry = ::readdir(dir)) {
      const std::string_view name = entry->d_name;
      if (name == "." || name == "..") continue;
      names.emplace_back(name);
    }
    ::closedir(dir);
  }
  std::size_t length = 0;
  for (const std::string& name : names)
    length += name.size();
  folder.names.reserve(length);
  folder.ends.reserve(names.size());
  for (const std::size_t at : ListingOrder(names)) {
    folder.names += names[at];
    folder.ends.push_back(static_cast<std::uint32_t>(folder.names.size()));
  }
  nameCount_ += folder.size();
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
    nameCount_ -= last->second.size();
    uses_.pop_back();
    folders_.erase(last);
  }
}

bool FolderCache::FindNoCase(const std::string& folder, std::string_view name, std::string& found,
                             const struct stat* looked) {
  const Folder& known = *Get(folder, looked);
  // Sorted without regard to case and byte-wise among equals: the first equal one is the
  // smallest.
  std::size_t low = 0, high = known.size();
  while (low < high) {
    const std::size_t middle = low + (high - low) / 2;
    if (CompareNoCase(known.Name(middle), name) < 0) {
      low = middle + 1;
    } else {
      high = middle;
    }
  }
  if (low == known.size() || CompareNoCase(known.Name(low), name) != 0) return false;
  found = std::string(known.Name(low));
  return true;
}

std::vector<std::string> FolderCache::Names(const std::string& folder) {
  const Folder& known = *Get(folder, nullptr);
  std::vector<std::string> names;
  names.reserve(known.size());
  for (std::size_t i = 0; i < known.size(); ++i)
    names.emplace_back(known.Name(i));
  return names;
}

void FolderCache::Added(const std::string& folder, std::string_view name) {
  const auto found = folders_.find(folder);
  if (found == folders_.end()) return;
  Folder& known = found->second;
  // Where the listing order puts it: without regard to case, byte-wise among equals.
  std::size_t low = 0, high = known.size();
  while (low < high) {
    const std::size_t middle = low + (high - low) / 2;
    const int compared = CompareNoCase(known.Name(middle), name);
    if (compared < 0 || (compared == 0 && known.Name(middle) < name)) {
      low = middle + 1;
    } else {
      high = middle;
    }
  }
  known.trusted = false;
  if (low < known.size() && known.Name(low) == name) return;
  const std::size_t start = low == 0 ? 0 : known.ends[low - 1];
  known.names.insert(start, name);
  known.ends.insert(known.ends.begin() + static_cast<std::ptrdiff_t>(low),
                    static_cast<std::uint32_t>(start));
  for (std::size_t i = low; i < known.ends.size(); ++i)
    known.ends[i] += static_cast<std::uint32_t>(name.size());
  ++nameCount_;
}

std::vector<std::string> FolderCache::KnownNames(const std::string& folder) {
  const auto found = folders_.find(folder);
  if (found == folders_.end()) return Names(folder);
  const Folder& known = found->second;
  std::vector<std::string> names;
  names.reserve(known.size());
  for (std::size_t i = 0; i < known.size(); ++i)
    names.emplace_back(known.Name(i));
  return names;
}

void FolderCache::Forget(const std::string& folder) {
  const auto found = folders_.find(folder);
  if (found == folders_.end()) return;
  nameCount_ -= found->second.size();
  uses_.erase(found->second.use);
  folders_.erase(found);
}

}  // namespace vu::platform::sandbox
