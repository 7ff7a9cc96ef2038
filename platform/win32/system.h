// System facts and effects through kernel32, user32, gdi32 and advapi32.
#pragma once

#include <memory>

#include "platform/system.h"

namespace vu::platform::win32 {

std::unique_ptr<System> MakeSystem();

}  // namespace vu::platform::win32
