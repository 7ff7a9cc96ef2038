// The shell's special folders (the desktop, the program menu ...) resolved to their paths.
#pragma once

#include <string>

#include "platform/shell.h"

namespace vu::common {

// The special folder's path, made when missing; "" when it cannot be resolved.
std::string GetSpecialFolderPath(vu::platform::Shell& shell, int csidl);

}  // namespace vu::common
