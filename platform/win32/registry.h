// The registry through the wide-character Reg* functions.
#pragma once

#include <memory>

#include "platform/registry.h"

namespace vu::platform::win32 {

std::unique_ptr<Registry> MakeRegistry();

}  // namespace vu::platform::win32
