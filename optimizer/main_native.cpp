// The Optimizer on a sandbox machine, with the headless form host:
//   optimizer --machine DIR [--app-path WINPATH] [--script FILE] [--express] [--fast]
//             [--transcript] [--fault FAULT]...
//   optimizer --machine DIR --restore WINPATH   (puts back what a run changed, from its backup)
//   optimizer --machine DIR /S [/LOG=WINPATH]   (Express with no window; see unattended.h)
// Exit status: 0 when the program ends or everything was restored, 1 when something could not be
// restored or a step of an --express or /S run failed, 2 for a bad command line, machine or script,
// 3 when a script step fails, 4 when the program sits idle with nothing left to happen.
#include <iostream>
#include <optional>
#include <string>

#include "optimizer/app/launch.h"
#include "optimizer/app/operations_table.h"
#include "optimizer/app/optimizer_app.h"
#include "optimizer/app/unattended.h"
#include "optimizer/engine/restore.h"
#include "toolkit/headless/native_entry.h"

int main(int argc, char** argv) {
  using namespace vu;
  optimizer::CommandOptions own;
  toolkit::NativeEntry entry;
  entry.name = "optimizer";
  entry.usage =
      "usage: optimizer --machine DIR [--app-path WINPATH] [--script FILE] [--express]"
      " [--fast] [--transcript] [--fault FAULT]...\n"
      "       optimizer --machine DIR [--fault FAULT]... --restore BACKUPFOLDER\n"
      "       optimizer --machine DIR [--fault FAULT]... /S [/LOG=FILE]\n";
  entry.own = optimizer::OwnOptions(own);
  entry.instead = [&own](platform::Machine& machine,
                         const toolkit::Options&) -> std::optional<int> {
    if (own.silent)
      return optimizer::RunExpressUnattended(machine, optimizer::MakeOperations(), own.log,
                                             std::cerr);
    if (own.restore.empty()) return std::nullopt;
    std::string report;
    const int restored = optimizer::RunRestore(machine, own.restore, report);
    std::cout << report;
    return restored;
  };
  entry.programFolder = [](const toolkit::Options& options, platform::System&) {
    return optimizer::ProgramFolderFromOption(options.appPath);
  };
  entry.buildScript = [&own](const toolkit::Options& options,
                             std::unique_ptr<toolkit::Script>& script, std::string& error) {
    return optimizer::BuildScript(options.script, own.express, script, error);
  };
  entry.run = [&own](platform::Machine& machine, toolkit::Program& program,
                     const toolkit::Options&) {
    optimizer::OptimizerApp app(machine, program, optimizer::MakeOperations());
    const int code = program.Run([&app] { app.Startup(); });
    return optimizer::ExitStatus(code, own.express, app.state());
  };
  return toolkit::RunNativeEntry(argc, argv, entry);
}
