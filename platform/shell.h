// The shell: shortcut files, the program menu, special folders and the folder-browse dialog.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/status.h"

namespace vu::platform {

class Shell {
 public:
  Shell() = default;
  Shell(const Shell&) = delete;
  Shell& operator=(const Shell&) = delete;
  virtual ~Shell() = default;

  // The target path of a shortcut file, as the shell's link object reports it with
  // SLGP_UNCPRIORITY (the network name first when the link has one). Any failure to read the
  // link (missing, unreadable, malformed) is a status other than ERROR_SUCCESS and |target| empty.
  virtual Status ShortcutTarget(std::string_view linkPath, std::string& target) = 0;

  // Makes "<user's program menu>\<group>\<linkName>.lnk" pointing at |target| with |arguments|,
  // creating the group folder when missing (the setup toolkit's fCreateShellLink).
  virtual Status CreateMenuShortcut(std::string_view group, std::string_view linkName,
                                    std::string_view target, std::string_view arguments) = 0;
  // Removes "<user's program menu>\<group>\<linkName>.lnk" and then the group folder when that
  // leaves it empty (fRemoveShellLink). Nothing happens when the shortcut is absent.
  virtual Status RemoveMenuShortcut(std::string_view group, std::string_view linkName) = 0;

  // SHGetFolderPath for a CSIDL value (CSIDL_FLAG_CREATE may be OR-ed in).
  virtual Status SpecialFolderPath(int csidl, std::string& path) = 0;

  // The folder-browse dialog: the chosen folder's path, or "" when the user cancels or picks a
  // folder without a file-system path. |owner| is the native window handle (0 for none), |root|
  // a CSIDL value or -1 for the desktop. The sandbox, which has no dialog, cancels.
  virtual std::string BrowseForFolder(std::uintptr_t owner, std::string_view title,
                                      std::uint32_t flags, int root) = 0;
};

}  // namespace vu::platform
