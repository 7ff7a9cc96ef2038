#include "platform/sandbox/folder_cache.h"

#include <dirent.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>

#include "platform/text.h"

namespace vu::platform::sandbox {
namespace {

// Enough for every folder a registry walk over a big drive keeps coming back to (a few tens of
// bytes a name), small against the memory a run may use.
constexpr std::size_t kNameLimit = 400000;

// What changes a folder's names, and what ends a watch's use.
constexpr std::uint32_t kWatched = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO |
                                   IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR;

}  // namespace

FolderCache::FolderCache(bool watch)
    : inotify_(watch ? ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC) : -1) {}

FolderCache::~FolderCache() {
  if (inotify_ >= 0) ::close(inotify_);
}

void FolderCache::Watch(const std::string& path, Folder& folder) {
  if (inotify_ < 0) return;
  // Before the names are read: a change while they are read is reported, and applying it again
  // to names that already show it changes nothing.
  const int watch = ::inotify_add_watch(inotify_, path.c_str(), kWatched);
  if (watch < 0) return;  // out of watches: trusted by time
  folder.watch = watch;
  watched_[watch].push_back(path);
}

void FolderCache::Unwatch(const std::string& path, Folder& folder) {
  if (folder.watch < 0) return;
  const auto found = watched_.find(folder.watch);
  if (found != watched_.end()) {
    std::vector<std::string>& paths = found->second;
    paths.erase(std::remove(paths.begin(), paths.end(), path), paths.end());
    if (paths.empty()) {
      ::inotify_rm_watch(inotify_, folder.watch);
      watched_.erase(found);
    }
  }
  folder.watch = -1;
}

void FolderCache::Drain() {
  if (inotify_ < 0 || watched_.empty()) return;
  alignas(inotify_event) char buffer[16384];
  for (;;) {
    const ssize_t got = ::read(inotify_, buffer, sizeof buffer);
    if (got <= 0) return;  // nothing more reported (EAGAIN)
    for (std::size_t at = 0; at + sizeof(inotify_event) <= static_cast<std::size_t>(got);) {
      const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
      at += sizeof(inotify_event) + event->len;
      if ((event->mask & IN_Q_OVERFLOW) != 0) {
        // Changes were lost: every folder is read again at its next lookup.
        for (auto& [path, folder] : folders_) {
          Unwatch(path, folder);
          folder.trusted = false;
        }
        continue;
      }
      const auto found = watched_.find(event->wd);
      if (found == watched_.end()) continue;
      const std::vector<std::string> paths = found->second;
      const bool ended = (event->mask & (IN_IGNORED | IN_DELETE_SELF | IN_MOVE_SELF)) != 0;
      const std::string_view name = event->len > 0 ? std::string_view(event->name) : "";
      for (const std::string& path : paths) {
        const auto folder = folders_.find(path);
        if (folder == folders_.end()) continue;
        if (ended) {
          Unwatch(path, folder->second);
          folder->second.trusted = false;
        } else if ((event->mask & (IN_CREATE | IN_MOVED_TO)) != 0) {
          // Made by the sandbox, it is known already; made behind its back, it needs an alias.
          if (Insert(folder->second, name)) folder->second.settled = false;
        } else if ((event->mask & (IN_DELETE | IN_MOVED_FROM)) != 0) {
          Erase(folder->second, name);
        }
      }
    }
  }
}

std::size_t FolderCache::Position(const Folder& folder, std::string_view name, bool& present) {
  // The listing order: without regard to case, byte-wise among equals.
  std::size_t low = 0, high = folder.size();
  while (low < high) {
    const std::size_t middle = low + (high - low) / 2;
    const int compared = CompareNoCase(folder.Name(middle), name);
    if (compared < 0 || (compared == 0 && folder.Name(middle) < name)) {
      low = middle + 1;
    } else {
      high = middle;
    }
  }
  present = low < folder.size() && folder.Name(low) == name;
  return low;
}

std::size_t FolderCache::FirstNoCase(const Folder& folder, std::string_view name) {
  // Sorted without regard to case and byte-wise among equals: the first equal one is the
  // smallest.
  std::size_t low = 0, high = folder.size();
  while (low < high) {
    const std::size_t middle = low + (high - low) / 2;
    if (CompareNoCase(folder.Name(middle), name) < 0) {
      low = middle + 1;
    } else {
      high = middle;
    }
  }
  return low < folder.size() && CompareNoCase(folder.Name(low), name) == 0 ? low : folder.size();
}

std::vector<std::string> FolderCache::NamesOf(const Folder& folder) {
  std::vector<std::string> names;
  names.reserve(folder.size());
  for (std::size_t i = 0; i < folder.size(); ++i)
    names.emplace_back(folder.Name(i));
  return names;
}

bool FolderCache::Insert(Folder& folder, std::string_view name) {
  bool present = false;
  const std::size_t at = Position(folder, name, present);
  if (present || name.empty()) return false;
  const std::size_t start = at == 0 ? 0 : folder.ends[at - 1];
  folder.names.insert(start, name);
  folder.ends.insert(folder.ends.begin() + static_cast<std::ptrdiff_t>(at),
                     static_cast<std::uint32_t>(start));
  for (std::size_t i = at; i < folder.ends.size(); ++i)
    folder.ends[i] += static_cast<std::uint32_t>(name.size());
  ++nameCount_;
  return true;
}

void FolderCache::Erase(Folder& folder, std::string_view name) {
  bool present = false;
  const std::size_t at = Position(folder, name, present);
  if (!present) return;
  const std::size_t start = at == 0 ? 0 : folder.ends[at - 1];
  folder.names.erase(start, name.size());
  folder.ends.erase(folder.ends.begin() + static_cast<std::ptrdiff_t>(at));
  for (std::size_t i = at; i < folder.ends.size(); ++i)
    folder.ends[i] -= static_cast<std::uint32_t>(name.size());
  --nameCount_;
}

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

void FolderCache::Load(const std::string& path, Folder& folder, const struct stat* looked,
                       bool watch) {
  nameCount_ -= folder.size();
  folder.names.clear();
  folder.ends.clear();
  folder.trusted = false;
  folder.settled = false;
  // The folder at |path| now may not be the one watched.
  Unwatch(path, folder);
  if (watch) Watch(path, folder);
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
    if (folder.watch >= 0) Drain();
    struct stat info {};
    if (looked == nullptr && ::stat(path.c_str(), &info) == 0) looked = &info;
    // A watched folder's names follow its changes; another is trusted by its change time.
    const bool same =
        looked != nullptr && looked->st_ino == folder.inode &&
        (folder.watch >= 0 || (folder.trusted && folder.changed == Time{looked->st_mtim.tv_sec,
                                                                        looked->st_mtim.tv_nsec}));
    if (!same) Load(path, folder, looked, true);
    uses_.splice(uses_.begin(), uses_, folder.use);
    return &folder;
  }
  const auto made = folders_.emplace(path, Folder{}).first;
  uses_.push_front(&made->first);
  made->second.use = uses_.begin();
  Load(path, made->second, looked, false);
  Trim();
  return &folders_.at(path);
}

void FolderCache::Trim() {
  // Never the folder just read, even when it alone is over the limit.
  while (nameCount_ > kNameLimit && uses_.size() > 1) {
    const auto last = folders_.find(*uses_.back());
    nameCount_ -= last->second.size();
    Unwatch(last->first, last->second);
    uses_.pop_back();
    folders_.erase(last);
  }
}

bool FolderCache::FindNoCase(const std::string& folder, std::string_view name, std::string& found,
                             const struct stat* looked) {
  const Folder& known = *Get(folder, looked);
  const std::size_t low = FirstNoCase(known, name);
  if (low == known.size()) return false;
  found = std::string(known.Name(low));
  return true;
}

std::vector<std::string> FolderCache::Names(const std::string& folder) {
  return NamesOf(*Get(folder, nullptr));
}

void FolderCache::Added(const std::string& folder, std::string_view name) {
  const auto found = folders_.find(folder);
  if (found == folders_.end()) return;
  Insert(found->second, name);
  found->second.trusted = false;
}

void FolderCache::Removed(const std::string& folder, std::string_view name) {
  const auto found = folders_.find(folder);
  if (found == folders_.end()) return;
  if (found->second.watch < 0) {
    Forget(folder);
    return;
  }
  Erase(found->second, name);
}

bool FolderCache::Settled(const std::string& folder) {
  auto found = folders_.find(folder);
  if (found == folders_.end()) return false;
  if (found->second.watch >= 0) Drain();
  return found->second.settled;
}

void FolderCache::MarkSettled(const std::string& folder) {
  const auto found = folders_.find(folder);
  if (found != folders_.end()) found->second.settled = true;
}

bool FolderCache::Holds(const std::string& folder, std::string_view name) const {
  const auto found = folders_.find(folder);
  if (found == folders_.end()) return false;
  return FirstNoCase(found->second, name) < found->second.size();
}

std::vector<std::string> FolderCache::KnownNames(const std::string& folder) {
  const auto found = folders_.find(folder);
  if (found == folders_.end()) return Names(folder);
  if (found->second.watch >= 0) Drain();
  return NamesOf(found->second);
}

void FolderCache::Forget(const std::string& folder) {
  const auto found = folders_.find(folder);
  if (found == folders_.end()) return;
  Unwatch(found->first, found->second);
  nameCount_ -= found->second.size();
  uses_.erase(found->second.use);
  folders_.erase(found);
}

}  // namespace vu::platform::sandbox
