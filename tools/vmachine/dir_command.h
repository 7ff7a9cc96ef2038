// `vmachine dir DIR WINPATH`: a folder's listing as the programs see it, each entry with its
// short (8.3) name and its long name.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace vu::tools {

// dir DIR WINPATH: WINPATH is a folder, or a folder and a pattern ("C:\WINDOWS\*.INI"). Prints
// one line per entry in listing order: the short name, "<DIR>" or the size in bytes, the long
// name ("PROGRA~1     <DIR>         Program Files").
int RunDir(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace vu::tools
