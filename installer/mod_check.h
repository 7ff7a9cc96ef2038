// modCheck: special folders (the desktop, the program menu ...) resolved to their paths.
#pragma once

#include <string>

#include "platform/shell.h"

namespace vu::installer {

// The special folder's path, made when missing; "" when it cannot be resolved.
std::string GetSpecialFolderPath(vu::platform::Shell& shell, int csidl);

}  // namespace vu::installer
