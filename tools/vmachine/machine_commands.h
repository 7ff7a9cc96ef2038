// `vmachine init|path|attrib|set|lnk`: a sandbox machine made, and its files and facts looked
// at and changed. Each takes the words after the command's name and returns the exit status:
// 0 done, 2 bad input (one line on |err| naming the problem, nothing changed), 1 a failure of
// the host while changing things.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "platform/fault_plan.h"

namespace vu::tools {

// init DIR
int RunInit(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
            vu::platform::FaultPlan& faults);
// path DIR WINPATH: the host path, spelled as the host spells the parts that exist.
int RunPath(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
            vu::platform::FaultPlan& faults);
// attrib DIR WINPATH [+R|-R] [+H|-H] [+S|-S] [+A|-A]: sets the flags given, then prints
// "RHSA 39 C:\PATH" (a '-' for each flag not set, the attribute word, the path as spelled on
// the machine).
int RunAttrib(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
              vu::platform::FaultPlan& faults);
// set DIR KEY=VALUE...: machine facts (section [System] of machine.ini).
int RunSet(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
           vu::platform::FaultPlan& faults);
// lnk DIR LINKPATH TARGET writes a shortcut; lnk DIR LINKPATH prints the target the shell's
// reader finds in it.
int RunLnk(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
           vu::platform::FaultPlan& faults);

}  // namespace vu::tools
