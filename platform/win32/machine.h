// The real machine: the Win32 back end of every part of the seam.
#pragma once

#include <memory>

#include "platform/machine.h"

namespace vu::platform::win32 {

std::unique_ptr<Machine> OpenWin32Machine();

}  // namespace vu::platform::win32
