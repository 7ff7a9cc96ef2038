// The Windows entry of the three programs: the process set up for forms (DPI awareness, common
// controls, OLE for the shell's dialogs), the command line as UTF-8, and the Win32 host.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/machine.h"
#include "toolkit/options.h"
#include "toolkit/program.h"
#include "toolkit/script.h"

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

// The automation options of a Windows program's arguments (the program's name first): --script
// FILE or --script=FILE, --fault FAULT (repeatable), --help, and the program's |own| options.
// Windows programs pass over arguments they do not know; only these count. False with a one-line
// |error| for a malformed --fault.
struct AutomationOptions {
  std::string script;
  std::vector<std::string> faults;
  bool help = false;
};
bool ReadAutomationOptions(const std::vector<std::string>& arguments,
                           const std::vector<ProgramOption>& own, AutomationOptions& automation,
                           std::string& error);

// What one program brings to RunWin32Entry.
struct Win32Entry {
  // The program's name, in front of an error message ("Optimizer: ...").
  std::string name;
  // What --help writes to standard output, each line ending in a newline.
  std::string usage;
  // The program's own options, read from the arguments before anything else runs.
  std::vector<ProgramOption> own;
  // Work done instead of the forms (the Optimizer's --restore): its exit code, or nothing to go
  // on to the forms. Optional.
  std::function<std::optional<int>(platform::Machine& machine)> instead;
  // The automation script (from |automation| or the machine's raw command line); null for none,
  // false with a one-line |error|.
  std::function<bool(platform::Machine& machine, const AutomationOptions& automation,
                     std::unique_ptr<Script>& script, std::string& error)>
      buildScript;
  // Whether the script's folder-dialog answers go to the machine's shell.
  bool answersBrowse = true;
  // Makes the application on |program| and returns Program::Run's result.
  std::function<int(platform::Machine& machine, Program& program)> run;
};

// RunWin32Program with the real machine behind the fault injector (--fault): the options read,
// the script built, an error in either reported on standard error with kExitScriptMalformed, then
// the program run. Returns the exit code.
int RunWin32Entry(const Win32Entry& entry);

}  // namespace vu::toolkit::win32
