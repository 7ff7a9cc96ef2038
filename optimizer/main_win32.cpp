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
#include "toolkit/win32/entry.h"

int main() {
  using namespace vu;
  toolkit::win32::Win32Entry entry;
  entry.name = "Optimizer";
  entry.instead = [](const std::vector<std::string>& arguments) -> std::optional<int> {
    const toolkit::win32::AutomationOptions automation =
        toolkit::win32::ReadAutomationOptions(arguments, true);
    if (automation.restore.empty()) return std::nullopt;
    std::unique_ptr<platform::Machine> machine = platform::win32::OpenWin32Machine();
    std::string report;
    const int restored = optimizer::RunRestore(*machine, automation.restore, report);
    std::cout << report << std::flush;
    return restored;
  };
  bool express = false;
  entry.buildScript = [&express](platform::Machine&, const std::vector<std::string>& arguments,
                                 std::unique_ptr<toolkit::Script>& script, std::string& error) {
    const toolkit::win32::AutomationOptions automation =
        toolkit::win32::ReadAutomationOptions(arguments, true);
    express = automation.express;
    return optimizer::BuildScript(automation.script, automation.express, script, error);
  };
  entry.run = [&express](platform::Machine& machine, toolkit::Program& program) {
    optimizer::OptimizerApp app(machine, program, optimizer::MakeOperations());
    const int code = program.Run([&app] { app.Startup(); });
    return optimizer::ExitStatus(code, express, app.state());
  };
  return toolkit::win32::RunWin32Entry(entry);
}
