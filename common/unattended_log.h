// What a program run without a window (/S) has to say, and where it goes. A Windows program has
// no console: the report goes to standard error for a caller that redirected it, and to the file
// named by "/LOG=<file>" (replaced), or, when none is named, to the end of the program's own log
// in the temporary folder ("<TEMP>\Velloria <program>.log"), so that nothing is lost.
#pragma once

#include <ostream>
#include <string>
#include <string_view>

#include "platform/machine.h"
#include "platform/status.h"

namespace vu::common {

// Whether |word| is "/LOG=<file>" (any case; the file may be in double quotes): |file| is then
// the file, which may be empty (a bad command line for the caller to refuse).
bool ReadLogSwitch(std::string_view word, std::string& file);

// The default log of |program| ("Install", "Uninstall", "Optimizer"): "<TEMP>\Velloria
// <program>.log"; empty when the system names no temporary folder.
std::string DefaultLogPath(platform::System& system, std::string_view program);

// Writes |report| to |errors|, then to |logFile| (replaced) when it is not empty, else appends it
// to the default log of |program| (making the temporary folder when it is missing). Returns how
// writing the file went; a failure is also said on |errors|.
platform::Status WriteUnattendedReport(platform::Machine& machine, std::string_view program,
                                       std::string_view logFile, std::string_view report,
                                       std::ostream& errors);

}  // namespace vu::common
