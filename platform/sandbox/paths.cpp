#include "platform/sandbox/paths.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <system_error>

#include "platform/sandbox/layout.h"
#include "platform/sandbox/short_names.h"
#include "platform/text.h"

namespace vu::platform::sandbox {
namespace fs = std::filesystem;
namespace {

bool IsSeparator(char c) {
  return c == '\\' || c == '/';
}

bool IsValidName(std::string_view name) {
  for (const char c : name) {
    if (static_cast<unsigned char>(c) < 0x20) return false;
    if (std::string_view("<>:\"|?*").find(c) != std::string_view::npos) return false;
  }
  return true;
}

bool IsInside(const std::string& real, const std::string& root) {
  return real == root || (real.size() > root.size() && real.compare(0, root.size(), root) == 0 &&
                          real[root.size()] == '/');
}

}  // namespace

std::string WinPath::ToString() const {
  std::string text{drive, ':', '\\'};
  for (std::size_t i = 0; i < parts.size(); ++i) {
    if (i > 0) text += '\\';
    text += parts[i];
  }
  return text;
}

WinPath WinPath::Parent() const {
  WinPath parent = *this;
  if (!parent.parts.empty()) parent.parts.pop_back();
  return parent;
}

Status ParseWinPath(std::string_view text, WinPath& path) {
  path = WinPath{};
  if (text.size() >= 2 && IsSeparator(text[0]) && IsSeparator(text[1])) return ERROR_BAD_NETPATH;
  const char letter = text.empty() ? '\0' : text[0];
  const bool isLetter = (letter >= 'A' && letter <= 'Z') || (letter >= 'a' && letter <= 'z');
  if (text.size() < 2 || !isLetter || text[1] != ':') return ERROR_PATH_NOT_FOUND;
  const std::string_view rest = text.substr(2);
  if (!rest.empty() && !IsSeparator(rest.front())) return ERROR_PATH_NOT_FOUND;
  path.drive = static_cast<char>(letter & ~0x20);

  std::vector<std::string_view> names;
  std::size_t start = 0;
  for (std::size_t i = 0; i <= rest.size(); ++i) {
    if (i == rest.size() || IsSeparator(rest[i])) {
      if (i > start) names.push_back(rest.substr(start, i - start));
      start = i + 1;
    }
  }
  for (std::size_t i = 0; i < names.size(); ++i) {
    std::string_view name = names[i];
    if (name == ".") continue;
    if (name == "..") {
      if (path.parts.empty()) return ERROR_ACCESS_DENIED;
      path.parts.pop_back();
      continue;
    }
    if (i + 1 == names.size()) {
      while (!name.empty() && (name.back() == '.' || name.back() == ' '))
        name.remove_suffix(1);
      if (name.empty()) continue;
    }
    if (!IsValidName(name)) return ERROR_INVALID_NAME;
    path.parts.emplace_back(name);
  }
  return ERROR_SUCCESS;
}

PathResolver::PathResolver(std::string machineDir)
    : machineDir_(std::move(machineDir)),
      drivesPrefix_(machineDir_ + "/" + std::string(kDrivesFolder) + "/"),
      folders_(std::make_unique<FolderCache>()),
      shortNames_(
          std::make_unique<ShortNameStore>(machineDir_ + "/" + std::string(kShortNamesFile))) {
  std::fill(std::begin(driveFolders_), std::end(driveFolders_), -1);
}

PathResolver::~PathResolver() {
  for (const int folder : driveFolders_) {
    if (folder >= 0) ::close(folder);
  }
}

std::string PathResolver::DriveFolder(char drive) const {
  return machineDir_ + "/" + std::string(kDrivesFolder) + "/" + static_cast<char>(drive & ~0x20);
}

bool PathResolver::DriveExists(char drive) const {
  return !RealDriveFolder(drive).empty();
}

std::string PathResolver::RealDriveFolder(char drive) const {
  const char letter = static_cast<char>(drive & ~0x20);
  if (letter < 'A' || letter > 'Z') return std::string();
  std::string& known = realDrives_[letter - 'A'];
  // Resolved once: a drive's folder does not move while the machine is open. A missing one is
  // asked again, as it may be made meanwhile.
  if (!known.empty()) return known;
  std::error_code ec;
  const fs::path real = fs::canonical(DriveFolder(letter), ec);
  if (ec || !fs::is_directory(real, ec)) return std::string();
  known = real.string();
  driveFolders_[letter - 'A'] =
      ::open(DriveFolder(letter).c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
  return known;
}

int PathResolver::StatInDrive(char drive, const std::string& host, struct stat& info,
                              bool follow) const {
  const int flags = follow ? 0 : AT_SYMLINK_NOFOLLOW;
  const std::size_t n = drivesPrefix_.size();
  const char letter = static_cast<char>(drive & ~0x20);
  if (letter >= 'A' && letter <= 'Z' && driveFolders_[letter - 'A'] >= 0 && host.size() > n + 2 &&
      host[n] == letter && host[n + 1] == '/' && host.compare(0, n, drivesPrefix_) == 0) {
    return ::fstatat(driveFolders_[letter - 'A'], host.c_str() + n + 2, &info, flags);
  }
  return ::fstatat(AT_FDCWD, host.c_str(), &info, flags);
}

EntryKind PathResolver::Classify(const std::string& host, char drive, bool& link,
                                 bool& refused) const {
  return Look(host, drive, link, refused, nullptr);
}

EntryKind PathResolver::Look(const std::string& host, char drive, bool& link, bool& refused,
                             struct stat* seen) const {
  link = false;
  refused = false;
  struct stat info {};
  if (StatInDrive(drive, host, info, false) != 0) {
    // Not there (or a file on the way); anything else cannot be looked at.
    if (errno == ENOENT || errno == ENOTDIR) return EntryKind::None;
    refused = true;
    return EntryKind::None;
  }
  if (S_ISREG(info.st_mode) || S_ISDIR(info.st_mode)) {
    if (seen != nullptr) *seen = info;
    return S_ISDIR(info.st_mode) ? EntryKind::Directory : EntryKind::File;
  }
  if (S_ISLNK(info.st_mode)) {
    std::error_code ec;
    const std::string realDrive = RealDriveFolder(drive);
    const fs::path real = fs::canonical(host, ec);
    if (!ec && !realDrive.empty() && IsInside(real.string(), realDrive)) {
      const fs::file_type type = fs::status(real, ec).type();
      link = true;
      if (!ec && type == fs::file_type::directory) return EntryKind::Directory;
      if (!ec && type == fs::file_type::regular) return EntryKind::File;
      link = false;
    }
  }
  refused = true;
  return EntryKind::None;
}

Status PathResolver::SettleAliases(const HostEntry& folder) const {
  return shortNames_->Settle(folder.win, folders_->Names(folder.host));
}

bool PathResolver::FindName(const HostEntry& folder, const std::string& name, std::string& found,
                            const struct stat* looked) const {
  if (folders_->FindNoCase(folder.host, name, found, looked)) return true;
  // Only a valid 8.3 name with a tilde can be an alias.
  if (name.find('~') == std::string::npos || !IsShortName(name)) return false;
  SettleAliases(folder);
  const std::optional<std::string> longName = shortNames_->LongNameOf(folder.win, name);
  return longName && folders_->FindNoCase(folder.host, *longName, found);
}

Status PathResolver::Made(const HostEntry& item) const {
  const std::size_t cut = item.host.rfind('/');
  if (cut == std::string::npos || item.win.IsRoot()) return ERROR_SUCCESS;
  const std::string folder = item.host.substr(0, cut);
  const std::string_view name = std::string_view(item.host).substr(cut + 1);
  folders_->Added(folder, name);
  if (IsShortName(name)) return ERROR_SUCCESS;
  // The folder's names as they were, and this one: a folder of thousands is not read again, nor
  // are its other names looked at again, for each item made in it.
  if (folders_->Settled(folder)) {
    return shortNames_->SettleOne(item.win.Parent(), name, [&](std::string_view alias) {
      return folders_->Holds(folder, alias);
    });
  }
  const Status settled = shortNames_->Settle(item.win.Parent(), folders_->KnownNames(folder));
  if (settled == ERROR_SUCCESS) folders_->MarkSettled(folder);
  return settled;
}

Status PathResolver::Removed(const HostEntry& item) const {
  const std::size_t cut = item.host.rfind('/');
  if (cut != std::string::npos)
    folders_->Removed(item.host.substr(0, cut), std::string_view(item.host).substr(cut + 1));
  folders_->Forget(item.host);
  return shortNames_->Forget(item.win);
}

Status PathResolver::Resolve(std::string_view text, HostEntry& entry) const {
  WinPath path;
  const Status parsed = ParseWinPath(text, path);
  if (parsed != ERROR_SUCCESS) {
    entry = HostEntry{};
    return parsed;
  }
  return Resolve(path, entry);
}

bool PathResolver::KnownFolder(const std::string& key, HostEntry& entry,
                               struct stat& looked) const {
  const auto found = knownFolders_.find(key);
  if (found == knownFolders_.end()) return false;
  // Still the same folder where it was found: the names on the way to it still lead there.
  if (StatInDrive(key[0], found->second.host, looked, true) != 0 || !S_ISDIR(looked.st_mode) ||
      looked.st_ino != found->second.inode) {
    knownFolders_.erase(found);
    return false;
  }
  const KnownFolderEntry& known = found->second;
  entry = HostEntry{};
  entry.win.drive = static_cast<char>(key[0]);
  const std::size_t root = DriveFolder(entry.win.drive).size() + 1;
  for (std::size_t start = root; start <= known.host.size();) {
    std::size_t end = known.host.find('/', start);
    if (end == std::string::npos) end = known.host.size();
    entry.win.parts.push_back(known.host.substr(start, end - start));
    start = end + 1;
  }
  entry.host = known.host;
  entry.kind = EntryKind::Directory;
  entry.link = known.link;
  return true;
}

void PathResolver::RememberFolder(const std::string& key, const HostEntry& entry,
                                  unsigned long long inode) const {
  if (knownFolders_.size() >= kKnownFolderLimit) knownFolders_.clear();
  knownFolders_[key] = KnownFolderEntry{entry.host, inode, entry.link};
}

Status PathResolver::Resolve(const WinPath& path, HostEntry& entry) const {
  entry = HostEntry{};
  entry.win.drive = path.drive;
  if (!DriveExists(path.drive)) {
    entry.win.parts = path.parts;
    return ERROR_PATH_NOT_FOUND;
  }
  // The stat of the folder |entry| is at, when one was taken on the way (none for the drive's
  // folder or a link): a lookup in it that misses the exact spelling needs no look of its own.
  struct stat folderInfo {};
  bool folderLooked = false;
  // The folder holding the last name is looked up as a whole when it was found before.
  std::size_t first = 0;
  std::string parentKey;
  if (path.parts.size() >= 2) {
    parentKey = UpperCase(path.Parent().ToString());
    if (KnownFolder(parentKey, entry, folderInfo)) {
      first = path.parts.size() - 1;
      folderLooked = !entry.link;
    }
  }
  if (first == 0) {
    entry.host = DriveFolder(path.drive);
    entry.kind = EntryKind::Directory;
  }

  Status status = ERROR_SUCCESS;
  for (std::size_t i = first; i < path.parts.size(); ++i) {
    std::string name = path.parts[i];
    if (status == ERROR_SUCCESS) {
      if (!entry.isDirectory()) {
        // A folder on the way is missing or is a file.
        status = ERROR_PATH_NOT_FOUND;
      } else {
        // Fast path first: the exact spelling; the folder's names are looked at only when that
        // is absent.
        bool link = false;
        bool refused = false;
        struct stat info {};
        EntryKind kind = Look(entry.host + "/" + name, path.drive, link, refused, &info);
        std::string found;
        if (kind == EntryKind::None && !refused &&
            FindName(entry, name, found, folderLooked ? &folderInfo : nullptr)) {
          name = std::move(found);
          kind = Look(entry.host + "/" + name, path.drive, link, refused, &info);
        }
        if (refused) {
          entry = HostEntry{};
          return ERROR_ACCESS_DENIED;
        }
        entry.kind = kind;
        entry.link = link;
        folderLooked = kind == EntryKind::Directory && !link;
        if (folderLooked) folderInfo = info;
      }
    }
    entry.host += '/';
    entry.host += name;
    entry.win.parts.push_back(std::move(name));
    if (i + 2 == path.parts.size() && status == ERROR_SUCCESS && entry.isDirectory()) {
      struct stat info {};
      if (folderLooked) {
        RememberFolder(parentKey, entry, folderInfo.st_ino);
      } else if (StatInDrive(path.drive, entry.host, info, true) == 0) {
        RememberFolder(parentKey, entry, info.st_ino);
      }
    }
  }
  if (status != ERROR_SUCCESS) {
    entry.kind = EntryKind::None;
    entry.link = false;
  }
  return status;
}

}  // namespace vu::platform::sandbox
