// The Windows entry of the three programs: the process set up for forms (DPI awareness, common
// controls, OLE for the shell's dialogs), the command line as UTF-8, and the Win32 host.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "toolkit/program.h"

namespace vu::toolkit::win32 {

// The process's arguments, the program's name first, as UTF-8 (split as the C run time does).
std::vector<std::string> ProcessArguments();

// Prepares the process for as long as it lives: system DPI awareness (the manifest says so
// too; the call covers a program started without it), the common controls, OLE.
class ProcessSetup {
 public:
  ProcessSetup();
  ProcessSetup(const ProcessSetup&) = delete;
  ProcessSetup& operator=(const ProcessSetup&) = delete;
  ~ProcessSetup();

 private:
  bool ole_ = false;
};

// Sets the process up, creates the Win32 host and runs |main| with it and the arguments;
// returns |main|'s exit code. |main| builds the Program and returns Program::Run's result.
int RunWin32Program(
    const std::function<int(Host& host, const std::vector<std::string>& arguments)>& main);

}  // namespace vu::toolkit::win32
