// The shell: link objects (IShellLinkW), the program menu, special folders, the folder dialog.
#pragma once

#include <memory>

#include "platform/shell.h"

namespace vu::platform::win32 {

std::unique_ptr<Shell> MakeShell();

}  // namespace vu::platform::win32
