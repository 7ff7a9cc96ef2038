#pragma once
// The help compiler's command line, apart from main() so that tests can run it.
//
//   helpc SOURCE HLP CNT   compile SOURCE into the help file HLP and the contents file CNT
//   helpc --dump HLP       print what a help file holds
//
// Exit status: 0 done, 1 a file could not be read or written or bad arguments, 2 a fault in
// the source or the help file (one line: "FILE:LINE: message" or "FILE: message").

#include <ostream>
#include <string>
#include <vector>

#include "tools/helpc/hlp_reader.h"

namespace vu::helpc {

int RunHelpc(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// The dump's text: title, contents topic, topics with their paragraphs and links.
std::string Describe(const HelpFileView& view);

}  // namespace vu::helpc
