// Optimizer.exe: started without arguments it is the program the user double-clicks. For
// automation it also accepts --script FILE and --express, as the native build does; and
// --restore FOLDER puts back what a run changed, from its backup folder, without a window (the
// report goes to standard output and to Restore.txt in that folder).
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "optimizer/app/launch.h"
#include "optimizer/app/operations_table.h"
#include "optimizer/app/optimizer_app.h"
#include "optimizer/engine/restore.h"
#include "platform/win32/machine.h"
#include "toolkit/program.h"
#include "toolkit/script.h"
#include "toolkit/win32/entry.h"

namespace {

struct Automation {
  std::string script;
  bool express = false;
  std::string restore;
};

// Windows programs pass over arguments they do not know; only the automation options count.
Automation ReadArguments(const std::vector<std::string>& arguments) {
  Automation automation;
  for (std::size_t i = 1; i < arguments.size(); ++i) {
    if (arguments[i] == "--express") {
      automation.express = true;
    } else if (arguments[i] == "--script" && i + 1 < arguments.size()) {
      automation.script = arguments[++i];
    } else if (arguments[i] == "--restore" && i + 1 < arguments.size()) {
      automation.restore = arguments[++i];
    } else if (arguments[i].rfind("--script=", 0) == 0) {
      automation.script = arguments[i].substr(9);
    }
  }
  return automation;
}

}  // namespace

int main() {
  using namespace vu;
  return toolkit::win32::RunWin32Program(
      [](toolkit::Host& host, const std::vector<std::string>& arguments) {
        const Automation automation = ReadArguments(arguments);
        if (!automation.restore.empty()) {
          std::unique_ptr<platform::Machine> machine = platform::win32::OpenWin32Machine();
          std::string report;
          const int restored = optimizer::RunRestore(*machine, automation.restore, report);
          std::cout << report << std::flush;
          return restored;
        }
        std::unique_ptr<toolkit::Script> script;
        std::string error;
        if (!optimizer::BuildScript(automation.script, automation.express, script, error)) {
          std::cerr << "Optimizer: " << error << "\n";
          return toolkit::kExitScriptMalformed;
        }

        std::unique_ptr<platform::Machine> machine = platform::win32::OpenWin32Machine();
        toolkit::Program program(host);
        if (script) {
          script->SetBrowseAnswer([&machine](std::optional<std::string> answer) {
            machine->shell().QueueBrowseAnswer(std::move(answer));
          });
          program.SetScript(std::move(script));
        }
        optimizer::OptimizerApp app(*machine, program, optimizer::MakeOperations());
        return program.Run([&app] { app.Startup(); });
      });
}
