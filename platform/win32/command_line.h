// The argument text of a process command line, as the run time's Command function gives it.
#pragma once

#include <string>
#include <string_view>

namespace vu::platform::win32 {

// |commandLine| without the program's own name and the blanks that follow it; the rest exactly as
// passed. A name in double quotes ends at the closing quote ("C:\Program Files\x.exe"), a bare
// one at the first blank (C:\WINDOWS\VLUN32.EXE), as the C run time reads argv[0].
std::string ArgumentsAfterProgramName(std::string_view commandLine);

}  // namespace vu::platform::win32
