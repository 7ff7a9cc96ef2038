// Install.exe: started without arguments it is the program the user double-clicks, taking the
// installation set from its own folder. For automation it also accepts --script FILE and
// --express, as the native build does.
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "installer/launch.h"
#include "installer/mod_main.h"
#include "platform/win32/machine.h"
#include "toolkit/program.h"
#include "toolkit/script.h"
#include "toolkit/win32/entry.h"

namespace {

struct Automation {
  std::string script;
  bool express = false;
};

// Windows programs pass over arguments they do not know; only the automation options count.
Automation ReadArguments(const std::vector<std::string>& arguments) {
  Automation automation;
  for (std::size_t i = 1; i < arguments.size(); ++i) {
    if (arguments[i] == "--express") {
      automation.express = true;
    } else if (arguments[i] == "--script" && i + 1 < arguments.size()) {
      automation.script = arguments[++i];
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
        std::unique_ptr<toolkit::Script> script;
        std::string error;
        if (!installer::BuildScript(automation.script, automation.express, script, error)) {
          std::cerr << "Install: " << error << "\n";
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
        installer::InstallerApp app(*machine, program);
        return program.Run([&app] { app.Startup(); });
      });
}
