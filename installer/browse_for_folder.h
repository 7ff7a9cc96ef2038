// The system's folder-browse dialog, rooted at a special folder.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/shell.h"

namespace vu::installer {

// Browse flags the wizard passes.
inline constexpr std::uint32_t kBifDontGoBelowDomain = 2;
inline constexpr std::uint32_t kBifStatusText = 4;

// The chosen folder's path; "" when the user cancels or picks a folder without a file-system
// path. The dialog is rooted at |root| when that special folder resolves, else at the desktop.
std::string BrowseForFolder(vu::platform::Shell& shell, std::uintptr_t owner,
                            std::string_view title, std::uint32_t flags, int root);

}  // namespace vu::installer
