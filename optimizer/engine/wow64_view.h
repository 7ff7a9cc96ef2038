// The 32-bit programs' half of a 64-bit Windows, as the Optimizer (which reads the registry's
// 64-bit view) meets it: their keys lie below "Wow6432Node", and a path in their values means
// what a 32-bit program sees there, where System32 stands for the 32-bit system folder.
#pragma once

#include <string>
#include <string_view>

#include "platform/system.h"

namespace vu::optimizer {

// True when one of |keyPath|'s components is "Wow6432Node" (in any case).
bool InWow64View(std::string_view keyPath);

// "Software\X" -> "Software\Wow6432Node\X": where the 32-bit programs' copy of a key of
// HKEY_LOCAL_MACHINE\Software lies in the 64-bit view.
std::string Wow64Twin(std::string_view softwareKeyPath);

// |text| as a 32-bit program reads it: a leading system folder ("C:\WINDOWS\system32\...")
// becomes the 32-bit system folder. Unchanged where there is none (Windows 9x, 32-bit Windows).
std::string As32BitProgramsSeeIt(vu::platform::System& system, std::string_view text);

}  // namespace vu::optimizer
