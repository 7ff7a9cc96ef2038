// `vmachine setup DIR [WINFOLDER] [--from HOSTDIR] [--runtime]`: lays an installation set into a
// sandbox machine's folder WINFOLDER (default C:\SETUP, made when missing): Install.exe,
// Optimizer.exe, Uninstall.exe, Optimizer.hlp and Optimizer.cnt, taken from HOSTDIR (default:
// the Windows build's dist folder, <bin>/../../windows/dist beside this program) where it has
// them, otherwise as small text files that say they stand in for the real one. --runtime adds
// stand-ins for the nine shared run-time files the installer places in the system folder.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "platform/fault_plan.h"

namespace vu::tools {

int RunSetup(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
             vu::platform::FaultPlan& faults);

}  // namespace vu::tools
