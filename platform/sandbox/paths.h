// Windows paths on the sandbox machine: parsing ("C:\x", "c:/x", doubled separators) and
// resolution onto the host folder MACHINE/drives/<LETTER>/, case-insensitive and
// case-preserving, never leaving the drive's folder.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/sandbox/folder_cache.h"
#include "platform/status.h"

// The host's stat record: only pointers to it are passed here.
struct stat;

namespace vu::platform::sandbox {

// An absolute drive path taken apart: the drive letter (upper case) and the names below the
// root, "." dropped and ".." applied.
struct WinPath {
  char drive = 0;
  std::vector<std::string> parts;

  bool IsRoot() const { return parts.empty(); }
  // "C:\A\B"; the root alone is "C:\".
  std::string ToString() const;
  // The folder holding this path (the root's parent is the root).
  WinPath Parent() const;
};

// Parses an absolute drive path. '\' and '/' both separate and runs of them count as one;
// trailing dots and blanks of the last name are dropped, as Windows drops them. Fails with
//   ERROR_BAD_NETPATH     for a network path (\\server\share),
//   ERROR_PATH_NOT_FOUND  for a relative or drive-relative path ("x", "\x", "C:x"),
//   ERROR_ACCESS_DENIED   for ".." above the drive root: the sandbox never leaves a drive,
//   ERROR_INVALID_NAME    for a name holding < > : " | ? * or a control character.
Status ParseWinPath(std::string_view text, WinPath& path);

enum class EntryKind { None, File, Directory };

// Where a Windows path lies on the host.
struct HostEntry {
  WinPath win;       // the existing names spelled as on the host, the others as asked
  std::string host;  // the host path
  EntryKind kind = EntryKind::None;
  bool link = false;  // a host symbolic link within the drive: a reparse point to the programs

  bool exists() const { return kind != EntryKind::None; }
  bool isDirectory() const { return kind == EntryKind::Directory; }
};

class ShortNameStore;

class PathResolver {
 public:
  explicit PathResolver(std::string machineDir);
  ~PathResolver();
  PathResolver(const PathResolver&) = delete;
  PathResolver& operator=(const PathResolver&) = delete;

  // Resolves |text|. ERROR_SUCCESS means the parent folder exists; |entry.kind| tells whether
  // the last name does. ERROR_PATH_NOT_FOUND: the drive or a folder on the way is missing
  // (|entry.host| still names where the path would lie when the drive exists). A host symbolic
  // link whose real target is outside the drive's folder (or missing) is refused with
  // ERROR_ACCESS_DENIED wherever it appears on the path. Any name may be given by its 8.3
  // alias; |entry.win| spells the long names. Parse failures as ParseWinPath.
  Status Resolve(std::string_view text, HostEntry& entry) const;
  Status Resolve(const WinPath& path, HostEntry& entry) const;

  // What the host entry |host| on drive |drive| is to the programs; |link| tells whether it is
  // a symbolic link. A link leading out of the drive, and anything neither file nor folder,
  // counts as absent (and sets |refused|).
  EntryKind Classify(const std::string& host, char drive, bool& link, bool& refused) const;

  // The host folder of a drive, whether it exists or not.
  std::string DriveFolder(char drive) const;
  bool DriveExists(char drive) const;
  const std::string& machineDir() const { return machineDir_; }

  // The 8.3 aliases of the machine's names.
  ShortNameStore& shortNames() const { return *shortNames_; }
  // Gives the names of |folder| that need an alias theirs (see ShortNameStore::Settle).
  Status SettleAliases(const HostEntry& folder) const;
  // To be told of every item the sandbox made or removed, so that what is known of its folder
  // stays true and the item gets or frees its alias.
  Status Made(const HostEntry& item) const;
  Status Removed(const HostEntry& item) const;

 private:
  std::string RealDriveFolder(char drive) const;
  // stat (lstat unless |follow|) of |host|, a path in the drive's folder, looked up from that
  // folder held open: only the names below it are walked. 0 or -1 with errno, as stat gives.
  int StatInDrive(char drive, const std::string& host, struct stat& info, bool follow) const;
  // Classify, also giving the entry's own stat when it is no link (|seen| untouched otherwise).
  EntryKind Look(const std::string& host, char drive, bool& link, bool& refused,
                 struct stat* seen) const;
  // Which host name |name| stands for in the folder |folder|: another case of it, or the long
  // name of the alias it is. False when none. |looked| is the folder's stat when known.
  bool FindName(const HostEntry& folder, const std::string& name, std::string& found,
                const struct stat* looked) const;

  // Folders already found, by the upper-cased Windows path asked for: a lookup below one of them
  // looks only at its last name.
  // Kept small, as a big drive has tens of thousands: the Windows names as spelled on the host
  // are the host path's last names.
  struct KnownFolderEntry {
    std::string host;
    unsigned long long inode = 0;
    bool link = false;
  };
  static constexpr std::size_t kKnownFolderLimit = 20000;
  bool KnownFolder(const std::string& key, HostEntry& entry, struct stat& looked) const;
  void RememberFolder(const std::string& key, const HostEntry& entry,
                      unsigned long long inode) const;

  std::string machineDir_;
  mutable std::unordered_map<std::string, KnownFolderEntry> knownFolders_;
  // Caches: what the host holds does not change by being looked at.
  mutable std::string realDrives_[26];  // canonical host folder of each drive found
  mutable int driveFolders_[26];        // each drive's folder held open once found, or -1
  std::string drivesPrefix_;            // "MACHINE/drives/"
  std::unique_ptr<FolderCache> folders_;
  std::unique_ptr<ShortNameStore> shortNames_;
};

}  // namespace vu::platform::sandbox
