#include "optimizer/engine/shortcuts.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "common/registry_data.h"
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

// Adds one shortcut to the table; false once the table is full.
bool Record(Engine& engine, ShortcutTable& table, std::string path) {
  if (table.linkCount < INT16_MAX) ++table.linkCount;
  if (table.linkCount > ShortcutTable::kCapacity) return false;
  table.linkTargets[table.linkCount] = GetShortcutTarget(engine.machine.shell(), path);
  table.linkFiles[table.linkCount] = std::move(path);
  return true;
}

// The CSIDL values of folders the shell keeps for itself: desktop, programs, documents,
// favourites, startup, recent, send-to, start menu, desktop directory, network and printer
// neighbourhood, templates, the all-users menus and desktop, application data and fonts.
constexpr int kShellFolders[] = {0x00, 0x02, 0x05, 0x06, 0x07, 0x08, 0x09, 0x0b, 0x10, 0x13,
                                 0x14, 0x15, 0x16, 0x17, 0x18, 0x19, 0x1a, 0x1b, 0x1c, 0x1f};
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
  bool complete = true;

  FindData entry;
  std::unique_ptr<Listing> listing;
  Status status = files.FindFirst(qualified + std::string(pattern), entry, listing);
  if (status == ERROR_SUCCESS && listing) {
    do {
      if (entry.attributes == FILE_ATTRIBUTE_ARCHIVE || entry.attributes == FILE_ATTRIBUTE_NORMAL) {
        complete = Record(engine, table, qualified + TrimNull(entry.name)) && complete;
      }
    } while (listing->Next(entry));
    listing.reset();
  } else if (!NothingListed(status)) {
    complete = false;
  }

  status = files.FindFirst(qualified + "*.*", entry, listing);
  if (status != ERROR_SUCCESS || !listing) return complete && NothingListed(status);
  constexpr std::uint32_t kNotEntered =
      FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_REPARSE_POINT;
  do {
    const std::string name = TrimNull(entry.name);
    if ((entry.attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 && name != "." && name != ".." &&
        (entry.attributes & kNotEntered) == 0) {
      complete = FindFiles(engine, pattern, qualified + name, table) && complete;
    }
    engine.progress.Yield();
  } while (listing->Next(entry));
  return complete;
}

std::string GetShortcutTarget(vu::platform::Shell& shell, std::string_view linkPath) {
  if (linkPath.empty()) return std::string();
  std::string target;
  if (shell.ShortcutTarget(linkPath, target) != ERROR_SUCCESS) return std::string();
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
  for (int index = 1; index <= last; ++index) {
    if (!common::IsSet(IsMissingFile(engine.machine, table.linkTargets[index]))) continue;
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
