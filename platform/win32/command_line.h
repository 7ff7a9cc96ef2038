// The argument text of a process command line, as the run time's Command function gives it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vu::platform::win32 {

// |commandLine| without the program's own name and the blanks that follow it; the rest exactly as
// passed. A name in double quotes ends at the closing quote ("C:\Program Files\x.exe"), a bare
// one at the first blank (C:\WINDOWS\VLUN32.EXE), as the C run time reads argv[0].
std::string ArgumentsAfterProgramName(std::string_view commandLine);

// |commandLine| split into arguments as the C run time (and CommandLineToArgvW) split it: the
// program's name first, ending at its closing quote or first blank; then arguments separated by
// blanks, where double quotes group blanks, 2n backslashes before a quote give n backslashes and
// the quote groups, 2n+1 give n backslashes and a literal quote, and "" inside quotes is a quote.
std::vector<std::string> SplitCommandLine(std::string_view commandLine);

}  // namespace vu::platform::win32
