// `vmachine reg ...`: the registry of a sandbox machine, in and out as REGEDIT4 text.
//
//   reg import DIR FILE       makes the changes of a .reg file, all of them or none
//   reg export DIR [KEY]      writes KEY and its branch (default: HKEY_LOCAL_MACHINE and
//                             HKEY_USERS entirely) to standard output
//   reg get DIR KEY NAME      prints what the programs' registry layer reads for that value
//
// KEY starts with a root's name: HKEY_LOCAL_MACHINE\Software\X (abbreviations such as HKLM
// work too). Bad input gets one line on |err| and exit status 2, and changes nothing.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "platform/fault_plan.h"

namespace vu::tools {

// |args| are the words after "reg". Returns the process exit status.
int RunRegCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                  vu::platform::FaultPlan& faults);

}  // namespace vu::tools
