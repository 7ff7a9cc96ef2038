// The native entry of the three programs: the shared command line (toolkit::Options), the
// sandbox machine behind the fault injector (--fault), and the headless host sized from the
// machine's screen. Each program brings its name, its usage, its own options and how it builds
// its script and application.
//
// Exit status: the program's own, 0 for --help, or kExitScriptMalformed for a bad command line,
// machine or script, and for anything thrown at the entry (one line, never an abort). The
// machine is committed after the run.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/machine.h"
#include "platform/system.h"
#include "toolkit/options.h"
#include "toolkit/program.h"
#include "toolkit/script.h"

namespace vu::toolkit {

struct NativeEntry {
  // The program's name, in front of every message ("optimizer: ...").
  std::string name;
  // The usage lines written for --help, each ending in a newline.
  std::string usage;
  // The program's own options, beside the shared ones.
  std::vector<ProgramOption> own;
  // Work done instead of the forms once the machine is open (the Optimizer's --restore): its
  // exit code, or nothing to go on to the forms. Optional.
  std::function<std::optional<int>(platform::Machine& machine, const Options& options)> instead;
  // The program's folder on the machine, from --app-path.
  std::function<std::string(const Options& options, platform::System& system)> programFolder;
  // The automation script (null for none); false with a one-line |error|.
  std::function<bool(const Options& options, std::unique_ptr<Script>& script, std::string& error)>
      buildScript;
  // Whether the script's folder-dialog answers go to the machine's shell.
  bool answersBrowse = true;
  // Makes the application on |program| and returns Program::Run's result.
  std::function<int(platform::Machine& machine, Program& program, const Options& options)> run;
};

// Runs |entry| with the process's arguments and returns the exit status.
int RunNativeEntry(int argc, char** argv, const NativeEntry& entry);

}  // namespace vu::toolkit
