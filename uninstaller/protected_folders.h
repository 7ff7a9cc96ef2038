// What an uninstaller never removes, whatever a record or its log says: a drive's root, the
// Windows and system folders, the shell's special folders (program menu, desktop, documents,
// Program Files, Common Files, application data, ...) and every folder above one of them; and no
// file directly in the Windows or system folder on the record's word alone.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/machine.h"

namespace vu::uninstaller {

class ProtectedFolders {
 public:
  // Asks the machine for the folders once.
  explicit ProtectedFolders(vu::platform::Machine& machine);

  bool IsProtected(std::string_view folder) const;
  // A file whose folder is the Windows or the system folder.
  bool IsInSystemFolder(std::string_view file) const;

 private:
  std::vector<std::string> folders_;  // compared as Key() makes them
  std::string windows_;
  std::string system_;
};

}  // namespace vu::uninstaller
