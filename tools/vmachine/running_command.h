// `vmachine running` and `vmachine pending`: the programs running on a sandbox machine (their
// files are in use: they cannot be deleted or replaced) and the files to be deleted when it next
// starts.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "platform/fault_plan.h"

namespace vu::tools {

// running DIR [WINPATH...]: with paths, these are now the running programs (replacing the list;
// "-" alone empties it); then prints the list, one path a line.
int RunRunning(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
               vu::platform::FaultPlan& faults);
// pending DIR: the files a program asked to delete at the next start, one a line, in order.
int RunPending(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
               vu::platform::FaultPlan& faults);

}  // namespace vu::tools
