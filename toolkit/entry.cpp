#include "toolkit/entry.h"

#include <optional>
#include <string>
#include <utility>

#include "toolkit/scripted_machine.h"

namespace vu::toolkit {

int RunScriptedProgram(
    Host& host, platform::Machine& machine, std::unique_ptr<Script> script, bool answersBrowse,
    const std::function<int(platform::Machine& machine, Program& program)>& run) {
  Program program(host);
  ScriptedMachine scripted(machine);
  if (script) {
    if (answersBrowse) {
      script->SetBrowseAnswer([&scripted](std::optional<std::string> answer) {
        scripted.QueueBrowseAnswer(std::move(answer));
      });
    }
    program.SetScript(std::move(script));
  }
  return run(answersBrowse ? scripted : machine, program);
}

}  // namespace vu::toolkit
