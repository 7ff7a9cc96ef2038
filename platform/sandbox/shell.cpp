#include "platform/sandbox/shell.h"

#include "platform/sandbox/shell_link.h"

namespace vu::platform::sandbox {
namespace {

// Where the special folder lies, as a Windows path; empty for a folder the sandbox has not.
std::string Location(int csidl, const std::string& windowsDir) {
  std::string base = windowsDir;
  if (!base.empty() && base.back() == '\\') base.pop_back();
  switch (csidl) {
    case CSIDL_PROGRAMS:
      return base.empty() ? base : base + "\\START MENU\\PROGRAMS";
    case CSIDL_STARTMENU:
      return base.empty() ? base : base + "\\START MENU";
    case CSIDL_DESKTOP:
      return base.empty() ? base : base + "\\DESKTOP";
    case CSIDL_PERSONAL:
      return "C:\\MY DOCUMENTS";
    default:
      return std::string();
  }
}

}  // namespace

Status SandboxShell::ShortcutTarget(std::string_view linkPath, std::string& target) {
  target.clear();
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
  const std::string location = Location(csidl & ~CSIDL_FLAG_CREATE, system_.WindowsDirectory());
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
