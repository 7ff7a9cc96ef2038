#include "platform/sandbox/shell.h"

#include <algorithm>

#include "platform/sandbox/shell_link.h"

namespace vu::platform::sandbox {
namespace {

// The shell's folders of a Windows 98 machine without user profiles, below the Windows folder.
struct BelowWindows {
  int csidl;
  std::string_view path;
};
constexpr BelowWindows kBelowWindows[] = {
    {0x00, "DESKTOP"},                           // desktop
    {0x02, "START MENU\\PROGRAMS"},              // programs
    {0x06, "FAVORITES"},                         // favourites
    {0x07, "START MENU\\PROGRAMS\\STARTUP"},     // startup
    {0x08, "RECENT"},                            // recent documents
    {0x09, "SENDTO"},                            // send to
    {0x0b, "START MENU"},                        // start menu
    {0x10, "DESKTOP"},                           // desktop directory
    {0x13, "NETHOOD"},                           // network neighbourhood
    {0x14, "FONTS"},                             // fonts
    {0x15, "SHELLNEW"},                          // templates
    {0x1a, "APPLICATION DATA"},                  // application data
    {0x1b, "PRINTHOOD"},                         // printer neighbourhood
    {0x1c, "LOCAL SETTINGS\\APPLICATION DATA"},  // local application data
    {0x20, "TEMPORARY INTERNET FILES"},          // internet cache
    {0x21, "COOKIES"},                           // cookies
    {0x22, "HISTORY"},                           // history
};
constexpr int kWindows = 0x24;
constexpr int kSystem = 0x25;
constexpr int kProgramFiles = 0x26;
constexpr int kCommonFiles = 0x2b;

std::string WithoutBackslash(std::string path) {
  if (path.size() > 3 && path.back() == '\\') path.pop_back();
  return path;
}

}  // namespace

std::vector<std::string> SpecialFolderLocations(const std::string& windowsDir,
                                                const std::string& systemDir) {
  std::vector<std::string> folders;
  for (const int csidl : SpecialFolderIds()) {
    std::string path = SpecialFolderLocation(csidl, windowsDir, systemDir);
    if (!path.empty() && std::find(folders.begin(), folders.end(), path) == folders.end())
      folders.push_back(std::move(path));
  }
  return folders;
}

std::vector<int> SpecialFolderIds() {
  std::vector<int> ids;
  for (const BelowWindows& folder : kBelowWindows)
    ids.push_back(folder.csidl);
  ids.insert(ids.end(), {CSIDL_PERSONAL, kWindows, kSystem, kProgramFiles, kCommonFiles});
  return ids;
}

std::string SpecialFolderLocation(int csidl, const std::string& windowsDir,
                                  const std::string& systemDir) {
  const std::string windows = WithoutBackslash(windowsDir);
  if (windows.empty()) return std::string();
  // Documents and programs lie at the root of the Windows folder's drive.
  const std::string root = windows.substr(0, 2) + "\\";
  switch (csidl) {
    case CSIDL_PERSONAL:
      return root + "MY DOCUMENTS";
    case kWindows:
      return windows;
    case kSystem:
      return WithoutBackslash(systemDir);
    case kProgramFiles:
      return root + "PROGRAM FILES";
    case kCommonFiles:
      return root + "PROGRAM FILES\\COMMON FILES";
    default:
      break;
  }
  for (const BelowWindows& folder : kBelowWindows) {
    if (folder.csidl == csidl) return windows + "\\" + std::string(folder.path);
  }
  return std::string();
}

Status SandboxShell::ShortcutTarget(std::string_view linkPath, std::string& target) {
  target.clear();
  if (auto fault = faults_.Check(Op::ShortcutTarget, FaultSubject(linkPath))) return *fault;
  std::string bytes;
  const Status status = store_.ReadAll(linkPath, bytes);
  if (status != ERROR_SUCCESS) return status;
  std::optional<std::string> found = ReadShellLinkTarget(bytes);
  if (!found) return ERROR_INVALID_DATA;
  target = std::move(*found);
  return ERROR_SUCCESS;
}

Status SandboxShell::FolderPath(int csidl, std::string& path) {
  path.clear();
  const std::string location = SpecialFolderLocation(
      csidl & ~CSIDL_FLAG_CREATE, system_.WindowsDirectory(), system_.SystemDirectory());
  if (location.empty()) return ERROR_FILE_NOT_FOUND;
  if ((csidl & CSIDL_FLAG_CREATE) != 0) {
    const Status made = store_.MakeDirectories(location);
    if (made != ERROR_SUCCESS) return made;
  }
  HostEntry entry;
  const Status status = store_.resolver().Resolve(location, entry);
  if (status != ERROR_SUCCESS || !entry.isDirectory()) return ERROR_FILE_NOT_FOUND;
  path = entry.win.ToString();
  return ERROR_SUCCESS;
}

Status SandboxShell::SpecialFolderPath(int csidl, std::string& path) {
  path.clear();
  if (auto fault = faults_.Check(Op::SpecialFolderPath, std::to_string(csidl))) return *fault;
  return FolderPath(csidl, path);
}

Status SandboxShell::MenuLinkPath(std::string_view group, std::string_view linkName, bool create,
                                  std::string& groupPath, std::string& linkPath) {
  std::string programs;
  Status status = FolderPath(CSIDL_PROGRAMS | (create ? CSIDL_FLAG_CREATE : 0), programs);
  if (status != ERROR_SUCCESS) return status;
  groupPath = group.empty() ? programs : programs + "\\" + std::string(group);
  linkPath = groupPath + "\\" + std::string(linkName) + ".lnk";
  return ERROR_SUCCESS;
}

Status SandboxShell::CreateMenuShortcut(std::string_view group, std::string_view linkName,
                                        std::string_view target, std::string_view arguments) {
  if (auto fault = faults_.Check(Op::CreateMenuShortcut, linkName)) return *fault;
  std::string groupPath;
  std::string linkPath;
  Status status = MenuLinkPath(group, linkName, true, groupPath, linkPath);
  if (status != ERROR_SUCCESS) return status;
  status = store_.MakeDirectories(groupPath);
  if (status != ERROR_SUCCESS) return status;
  HostEntry entry;
  const bool isFolder =
      store_.resolver().Resolve(target, entry) == ERROR_SUCCESS && entry.isDirectory();
  return store_.WriteAll(linkPath, BuildShellLink(target, arguments, isFolder));
}

Status SandboxShell::RemoveMenuShortcut(std::string_view group, std::string_view linkName) {
  if (auto fault = faults_.Check(Op::RemoveMenuShortcut, linkName)) return *fault;
  std::string groupPath;
  std::string linkPath;
  Status status = MenuLinkPath(group, linkName, false, groupPath, linkPath);
  if (status != ERROR_SUCCESS) return ERROR_FILE_NOT_FOUND;
  status = store_.Remove(linkPath);
  if (status == ERROR_PATH_NOT_FOUND) return ERROR_FILE_NOT_FOUND;
  if (status != ERROR_SUCCESS) return status;
  if (!group.empty()) {
    std::vector<FindData> entries;
    // Only "." and ".." left: the group goes too.
    if (store_.List(groupPath + "\\*", entries) == ERROR_SUCCESS && entries.size() <= 2)
      store_.RemoveDirectory(groupPath);
  }
  return ERROR_SUCCESS;
}

}  // namespace vu::platform::sandbox
