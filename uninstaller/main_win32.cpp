// Uninstall.exe, installed as VLUN32.exe: started by the list of installed programs with one
// argument, a dash and the product's long name, taken exactly as the system passes it. For
// automation, "--script FILE" and "--yes" may stand in front of that argument.
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "platform/win32/machine.h"
#include "toolkit/program.h"
#include "toolkit/script.h"
#include "toolkit/win32/entry.h"
#include "uninstaller/launch.h"
#include "uninstaller/mod_main.h"

int main() {
  using namespace vu;
  return toolkit::win32::RunWin32Program([](toolkit::Host& host, const std::vector<std::string>&) {
    std::unique_ptr<platform::Machine> machine = platform::win32::OpenWin32Machine();
    // The system's own split would cut the long name at its blank: the raw text counts.
    uninstaller::Automation automation =
        uninstaller::SplitCommandLine(machine->system().CommandLine());
    std::unique_ptr<toolkit::Script> script;
    std::string error;
    if (!uninstaller::BuildScript(automation.script, automation.yes, script, error)) {
      std::cerr << "Uninstall: " << error << "\n";
      return toolkit::kExitScriptMalformed;
    }

    toolkit::Program program(host);
    if (script) program.SetScript(std::move(script));
    uninstaller::UninstallApp app(*machine, program, std::move(automation.argument));
    return program.Run([&app] { app.Startup(); });
  });
}
