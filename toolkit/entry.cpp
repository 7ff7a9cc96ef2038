#include "toolkit/entry.h"

#include <optional>
#include <string>
#include <utility>

namespace vu::toolkit {

int RunScriptedProgram(Host& host, platform::Machine& machine, std::unique_ptr<Script> script,
                       bool answersBrowse, const std::function<int(Program& program)>& run) {
  Program program(host);
  if (script) {
    if (answersBrowse) {
      script->SetBrowseAnswer([&machine](std::optional<std::string> answer) {
        machine.shell().QueueBrowseAnswer(std::move(answer));
      });
    }
    program.SetScript(std::move(script));
  }
  return run(program);
}

}  // namespace vu::toolkit
