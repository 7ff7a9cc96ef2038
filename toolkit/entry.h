// What the programs' entry points (native on a sandbox machine, and Windows) share once their
// host and machine are ready: the Program, its automation script and the run.
#pragma once

#include <functional>
#include <memory>

#include "platform/machine.h"
#include "toolkit/program.h"
#include "toolkit/script.h"

namespace vu::toolkit {

// Makes the Program on |host| and hands it |script| (null for none). When |answersBrowse|, the
// program runs on |machine| with its folder dialog answered by the script's browse steps (a
// ScriptedMachine); otherwise on |machine| itself, and a script step answering a folder dialog
// fails. |run| makes the program's application on the machine and the Program and returns
// Program::Run's result, which is returned.
int RunScriptedProgram(Host& host, platform::Machine& machine, std::unique_ptr<Script> script,
                       bool answersBrowse,
                       const std::function<int(platform::Machine& machine, Program& program)>& run);

}  // namespace vu::toolkit
