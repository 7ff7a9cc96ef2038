// The sandbox machine's Shell: shortcut files read and written after MS-SHLLINK, the special
// folders below the Windows folder, and a folder-browse dialog that always cancels (answers
// queued by automation come first).
#pragma once

#include <string>
#include <vector>

#include "platform/sandbox/faults.h"
#include "platform/sandbox/file_store.h"
#include "platform/shell.h"
#include "platform/system.h"

namespace vu::platform::sandbox {

// Where a Windows 98 machine keeps the shell's folder |csidl|: desktop, programs, favourites,
// startup, recent, send-to, start menu, net and print neighbourhood, fonts, templates,
// application data, internet cache, cookies and history below the Windows folder; documents,
// Program Files and Common Files on its drive; the Windows and system folders. Empty for a
// folder Windows 98 has not.
std::string SpecialFolderLocation(int csidl, const std::string& windowsDir,
                                  const std::string& systemDir);
// Every CSIDL value SpecialFolderLocation knows.
std::vector<int> SpecialFolderIds();
// Every folder SpecialFolderLocation names, each once.
std::vector<std::string> SpecialFolderLocations(const std::string& windowsDir,
                                                const std::string& systemDir);

class SandboxShell final : public vu::platform::Shell {
 public:
  SandboxShell(FileStore& store, vu::platform::System& system, Faults& faults)
      : store_(store), system_(system), faults_(faults) {}

  Status ShortcutTarget(std::string_view linkPath, std::string& target) override;
  Status CreateMenuShortcut(std::string_view group, std::string_view linkName,
                            std::string_view target, std::string_view arguments) override;
  Status RemoveMenuShortcut(std::string_view group, std::string_view linkName) override;
  // The folders of SpecialFolderLocation, spelled as the drive spells them; anything else (the
  // all-users folders of NT among them) is ERROR_FILE_NOT_FOUND. A missing folder is made with
  // CSIDL_FLAG_CREATE and is ERROR_FILE_NOT_FOUND without it.
  Status SpecialFolderPath(int csidl, std::string& path) override;

 protected:
  std::string ShowBrowseDialog(std::uintptr_t, std::string_view, std::uint32_t, int) override {
    return std::string();
  }

 private:
  // The special folder's path and whether it exists, without fault injection.
  Status FolderPath(int csidl, std::string& path);
  // "<program menu>\<group>\<linkName>.lnk".
  Status MenuLinkPath(std::string_view group, std::string_view linkName, bool create,
                      std::string& groupPath, std::string& linkPath);

  FileStore& store_;
  vu::platform::System& system_;
  Faults& faults_;
};

}  // namespace vu::platform::sandbox
