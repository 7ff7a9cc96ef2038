// Optimizer.exe: started without arguments it is the program the user double-clicks. For
// automation it also accepts --script FILE, --express and --fault FAULT, as the native build does;
// and --restore FOLDER puts back what a run changed, from its backup folder, without a window
// (the report goes to standard output and to Restore.txt in that folder); /S [/LOG=FILE] runs
// Express with no window and no restart (exit status 0 every step done, 1 a step failed, 2 a
// bad command line), its report going to the log (see optimizer/app/unattended.h).
#include <iostream>
#include <memory>
#include <optional>
#include <string>

#include "optimizer/app/launch.h"
#include "optimizer/app/operations_table.h"
#include "optimizer/app/optimizer_app.h"
#include "optimizer/app/unattended.h"
#include "optimizer/engine/restore.h"
#include "toolkit/win32/entry.h"

int main() {
  using namespace vu;
  optimizer::CommandOptions own;
  toolkit::win32::Win32Entry entry;
  entry.name = "Optimizer";
  entry.usage =
      "usage: Optimizer.exe [--script FILE] [--express] [--fault FAULT]...\n"
      "       Optimizer.exe [--fault FAULT]... --restore BACKUPFOLDER\n"
      "       Optimizer.exe [--fault FAULT]... /S [/LOG=FILE]\n";
  entry.own = optimizer::OwnOptions(own);
  entry.instead = [&own](platform::Machine& machine) -> std::optional<int> {
    if (own.silent) {
      std::string error;
      if (!optimizer::CheckSilentArguments(toolkit::win32::ProcessArguments(), error)) {
        std::cerr << "Optimizer: " << error << "\n";
        return 2;
      }
      return optimizer::RunExpressUnattended(machine, optimizer::MakeOperations(), own.log,
                                             std::cerr);
    }
    if (own.restore.empty()) return std::nullopt;
    std::string report;
    const int restored = optimizer::RunRestore(machine, own.restore, report);
    std::cout << report << std::flush;
    return restored;
  };
  entry.buildScript = [&own](platform::Machine&,
                             const toolkit::win32::AutomationOptions& automation,
                             std::unique_ptr<toolkit::Script>& script, std::string& error) {
    return optimizer::BuildScript(automation.script, own.express, script, error);
  };
  entry.run = [&own](platform::Machine& machine, toolkit::Program& program) {
    optimizer::OptimizerApp app(machine, program, optimizer::MakeOperations());
    const int code = program.Run([&app] { app.Startup(); });
    return optimizer::ExitStatus(code, own.express, app.state());
  };
  return toolkit::win32::RunWin32Entry(entry);
}
