#include "installer/browse_for_folder.h"

#include "common/special_folders.h"

namespace vu::installer {

std::string BrowseForFolder(vu::platform::Shell& shell, std::uintptr_t owner,
                            std::string_view title, std::uint32_t flags, int root) {
  // The seam takes -1 for "the desktop" where the dialog's request has no root.
  const int dialogRoot = common::GetSpecialFolderPath(shell, root).empty() ? -1 : root;
  const std::string chosen = shell.BrowseForFolder(owner, title, flags, dialogRoot);
  return chosen.substr(0, chosen.find('\0'));
}

}  // namespace vu::installer
