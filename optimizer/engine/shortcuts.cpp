#include "optimizer/engine/shortcuts.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "common/registry_data.h"
#include "common/registry_mod.h"
#include "optimizer/engine/missing_file.h"
#include "optimizer/engine/paths.h"
#include "platform/text.h"

namespace vu::optimizer {

namespace {

using vu::platform::FindData;
using vu::platform::Listing;
using vu::platform::Status;

constexpr std::size_t kShellPathBuffer = 260;

// A listing that found nothing is not a folder left unseen.
bool NothingListed(Status status) {
  return status == ERROR_FILE_NOT_FOUND || status == ERROR_NO_MORE_FILES;
}

// Deleting what is already gone has the effect that was wanted.
bool Gone(Status status) {
  return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
}

// Adds one shortcut to the table; false once the table is full or when the shortcut could not
// be read this time (it keeps an empty target, so it is never deleted, but it was not judged).
bool Record(Engine& engine, ShortcutTable& table, std::string path) {
  if (table.linkCount < INT16_MAX) ++table.linkCount;
  if (table.linkCount > ShortcutTable::kCapacity) return false;
  Status status = ERROR_SUCCESS;
  table.linkTargets[table.linkCount] = GetShortcutTarget(engine.machine.shell(), path, &status);
  table.linkFiles[table.linkCount] = std::move(path);
  return !IsFailedRead(status);
}

// The CSIDL values of folders the shell keeps for itself: desktop, programs, documents,
// favourites, startup, recent, send-to, start menu, desktop directory, network and printer
// neighbourhood, templates, the all-users menus and desktop, application data, fonts, Program
// Files and Common Files.
constexpr int kShellFolders[] = {0x00, 0x02, 0x05, 0x06, 0x07, 0x08, 0x09, 0x0b, 0x10, 0x13, 0x14,
                                 0x15, 0x16, 0x17, 0x18, 0x19, 0x1a, 0x1b, 0x1c, 0x1f, 0x26, 0x2b};
// Where Windows 9x records Program Files and Common Files: its shell does not know their CSIDLs.
constexpr std::string_view kCurrentVersionKey = "Software\\Microsoft\\Windows\\CurrentVersion";
constexpr const char* kFolderValues[] = {"ProgramFilesDir", "CommonFilesDir"};
// Application data: programs keep their own shortcuts there (the Quick Launch bar among them).
constexpr int kAppDataFolders[] = {0x1a, 0x1c};
// The program menus (the user's and all users'): their groups are the user's to lose, even where
// the menu itself lies inside application data, as it does since Windows 2000.
constexpr int kMenuFolders[] = {0x02, 0x0b, 0x16, 0x17};

std::string FolderKey(std::string_view path) {
  while (!path.empty() && path.back() == '\\')
    path.remove_suffix(1);
  return vu::platform::UpperCase(path);
}

// Folders that emptying by this cleaner must never remove, because Windows or the shell expect
// them to be there even when they hold nothing.
class ProtectedFolders {
 public:
  explicit ProtectedFolders(vu::platform::Machine& machine)
      : windowsDir_(FolderKey(machine.system().WindowsDirectory())) {
    AddWithParents(machine.system().WindowsDirectory());
    AddWithParents(machine.system().SystemDirectory());
    for (int csidl : kShellFolders) {
      std::string path;
      if (machine.shell().SpecialFolderPath(csidl, path) == ERROR_SUCCESS) AddWithParents(path);
    }
    for (const char* name : kFolderValues) {
      const std::string path = common::GetRegistryString(machine.registry(), HKEY_LOCAL_MACHINE,
                                                         kCurrentVersionKey, name);
      if (path != common::kRegistryNotFound && path.find(":\\") == 1) AddWithParents(path);
    }
    // And where Windows puts them unless told otherwise, for a machine that records neither.
    const std::string windowsDir = machine.system().WindowsDirectory();
    if (windowsDir.find(":\\") == 1) {
      AddWithParents(windowsDir.substr(0, 3) + "Program Files\\Common Files");
    }
    for (int csidl : kAppDataFolders) {
      std::string path;
      if (machine.shell().SpecialFolderPath(csidl, path) == ERROR_SUCCESS && !path.empty()) {
        trees_.push_back(FolderKey(path) + "\\");
      }
    }
    for (int csidl : kMenuFolders) {
      std::string path;
      if (machine.shell().SpecialFolderPath(csidl, path) == ERROR_SUCCESS && !path.empty()) {
        menus_.push_back(FolderKey(path) + "\\");
      }
    }
  }

  bool Contains(std::string_view folder) const {
    const std::string key = FolderKey(folder);
    if (key.find('\\') == std::string::npos) return true;  // a drive root
    if (std::find(exact_.begin(), exact_.end(), key) != exact_.end()) return true;
    if (!windowsDir_.empty() && FolderKey(GetParentFolder(key)) == windowsDir_) return true;
    const auto inside = [&key](const std::string& tree) { return key.starts_with(tree); };
    if (std::any_of(menus_.begin(), menus_.end(), inside)) return false;
    return std::any_of(trees_.begin(), trees_.end(),
                       [&key](const std::string& tree) { return key.starts_with(tree); });
  }

 private:
  void AddWithParents(std::string_view path) {
    std::string key = FolderKey(path);
    while (!key.empty()) {
      exact_.push_back(key);
      const std::size_t cut = key.rfind('\\');
      if (cut == std::string::npos) break;
      key.resize(cut);
    }
  }

  std::string windowsDir_;
  std::vector<std::string> exact_;
  std::vector<std::string> trees_;
  std::vector<std::string> menus_;
};

}  // namespace

bool FindShortcuts(Engine& engine) {
  const std::string systemDir = GetSystemDir(engine.machine.system());
  if (systemDir.empty()) return false;
  return FindFiles(engine, "*.lnk", systemDir.substr(0, 1) + ":\\", engine.state.shortcuts);
}

bool FindFiles(Engine& engine, std::string_view pattern, std::string_view folder,
               ShortcutTable& table) {
  vu::platform::FileSystem& files = engine.machine.files();
  const std::string qualified = QualifyPath(folder);

  // One listing of the folder serves both passes: first its matching files are recorded, then
  // its subfolders are walked, in listing order, with a yield after every entry, just as a
  // listing of the pattern followed by one of "*.*" would have it. A listing of the pattern
  // matches the alias of a long name too, and so does this.
  FindData entry;
  std::unique_ptr<Listing> listing;
  const Status status = files.FindFirstNames(qualified + "*.*", entry, listing);
  if (status != ERROR_SUCCESS || !listing) return NothingListed(status);
  constexpr std::uint32_t kNotEntered =
      FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_REPARSE_POINT;
  bool complete = true;
  // The subfolders to enter, an empty text for each other entry (a yield without a walk).
  std::vector<std::string> walk;
  do {
    std::string name = TrimNull(entry.name);
    const std::string alias = TrimNull(entry.alternateName);
    if ((entry.attributes == FILE_ATTRIBUTE_ARCHIVE || entry.attributes == FILE_ATTRIBUTE_NORMAL) &&
        (vu::platform::MatchesPattern(name, pattern) ||
         (!alias.empty() && vu::platform::MatchesPattern(alias, pattern)))) {
      complete = Record(engine, table, qualified + name) && complete;
    }
    const bool enter = (entry.attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 && name != "." &&
                       name != ".." && (entry.attributes & kNotEntered) == 0;
    walk.push_back(enter ? std::move(name) : std::string());
  } while (listing->Next(entry));
  listing.reset();

  for (const std::string& name : walk) {
    if (!name.empty()) complete = FindFiles(engine, pattern, qualified + name, table) && complete;
    engine.progress.Yield();
  }
  return complete;
}

std::string GetShortcutTarget(vu::platform::Shell& shell, std::string_view linkPath,
                              Status* status) {
  Status ignored = ERROR_SUCCESS;
  Status& result = status != nullptr ? *status : ignored;
  result = ERROR_SUCCESS;
  if (linkPath.empty()) return std::string();
  std::string target;
  result = shell.ShortcutTarget(linkPath, target);
  if (result != ERROR_SUCCESS) return std::string();
  target = TrimNull(target);
  // A path the shell's buffer cannot hold would come back cut short: never judge that.
  if (common::AnsiLength(target) + 1 > kShellPathBuffer) return std::string();
  return target;
}

bool RemoveBrokenShortcuts(Engine& engine) {
  vu::platform::FileSystem& files = engine.machine.files();
  const ShortcutTable& table = engine.state.shortcuts;
  const int last = std::min<int>(table.linkCount, ShortcutTable::kCapacity);
  bool allDone = true;
  // Folders that lost a shortcut, in the order they did. Each is looked at once, after the
  // deletions: a folder emptied on the way stays empty, as nothing is added to it.
  std::vector<std::string> emptied;
  // The shortcuts broken now are announced first, so that the backup can record their removals
  // all at once. Each is judged again at its turn: its target may be a shortcut removed before.
  const MissingFileJudge isMissing(engine.machine);
  std::vector<std::string> broken;
  for (int index = 1; index <= last; ++index) {
    if (isMissing(table.linkTargets[index]) == PathState::Missing)
      broken.push_back(table.linkFiles[index]);
  }
  files.ExpectRemovals(broken);
  for (int index = 1; index <= last; ++index) {
    const PathState target = isMissing(table.linkTargets[index]);
    if (target == PathState::Unknown) allDone = false;
    if (target != PathState::Missing) continue;
    const std::string& link = table.linkFiles[index];
    if (!Gone(files.Remove(link))) {
      allDone = false;
      continue;
    }
    std::string folder = GetParentFolder(link);
    if (std::find(emptied.begin(), emptied.end(), folder) == emptied.end())
      emptied.push_back(std::move(folder));
  }
  if (emptied.empty()) return allDone;
  const ProtectedFolders protectedFolders(engine.machine);
  for (const std::string& folder : emptied) {
    if (protectedFolders.Contains(folder)) continue;
    if (!common::IsSet(IsFolderEmpty(files, folder))) continue;
    const Status removed = files.RemoveDirectory(folder);
    // A folder that still holds a name IsFolderEmpty passes over is simply not empty.
    if (!Gone(removed) && removed != ERROR_DIR_NOT_EMPTY) allDone = false;
  }
  return allDone;
}

}  // namespace vu::optimizer
