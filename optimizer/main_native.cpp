// The Optimizer on a sandbox machine, with the headless form host:
//   optimizer --machine DIR [--app-path WINPATH] [--script FILE] [--express] [--fast]
//             [--transcript]
//   optimizer --machine DIR --restore WINPATH   (puts back what a run changed, from its backup)
// Exit status: 0 when the program ends or everything was restored, 1 when something could not be
// restored, 2 for a bad command line, machine or script, 3 when a script step fails, 4 when the
// program sits idle with nothing left to happen.
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "optimizer/app/launch.h"
#include "optimizer/app/operations_table.h"
#include "optimizer/app/optimizer_app.h"
#include "optimizer/engine/restore.h"
#include "platform/sandbox/machine.h"
#include "platform/status.h"
#include "toolkit/headless/host.h"
#include "toolkit/options.h"
#include "toolkit/program.h"
#include "toolkit/script.h"

namespace {

constexpr int kExitUsage = vu::toolkit::kExitScriptMalformed;

int Usage(const std::string& error) {
  std::cerr << "optimizer: " << error << "\n"
            << "usage: optimizer --machine DIR [--app-path WINPATH] [--script FILE] [--express]"
               " [--fast] [--transcript]\n"
            << "       optimizer --machine DIR --restore BACKUPFOLDER\n";
  return kExitUsage;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace vu;
  const std::vector<std::string> args(argv + 1, argv + argc);
  toolkit::Options options;
  std::string error;
  if (!toolkit::ParseOptions(args, options, error)) return Usage(error);
  if (options.machine.empty()) return Usage("--machine DIR is required");

  auto machine = platform::sandbox::SandboxMachine::Open(options.machine, &error);
  if (!machine) {
    std::cerr << "optimizer: " << error << "\n";
    return kExitUsage;
  }
  if (!options.restore.empty()) {
    std::string report;
    const int restored = optimizer::RunRestore(*machine, options.restore, report);
    machine->Commit();
    std::cout << report;
    return restored;
  }
  machine->SetProgramFolder(optimizer::ProgramFolderFromOption(options.appPath));
  machine->SetCommandLine(options.arguments);

  std::unique_ptr<toolkit::Script> script;
  if (!optimizer::BuildScript(options.script, options.express, script, error)) {
    std::cerr << "optimizer: " << error << "\n";
    return kExitUsage;
  }

  platform::System& system = machine->system();
  toolkit::HeadlessOptions hostOptions;
  hostOptions.virtualClock = options.fast;
  hostOptions.transcript = options.transcript ? &std::cout : nullptr;
  if (const int width = system.Metric(SM_CXSCREEN); width > 0) {
    hostOptions.screenWidthPixels = width;
  }
  if (const int height = system.Metric(SM_CYSCREEN); height > 0) {
    hostOptions.screenHeightPixels = height;
  }
  if (const int dpi = system.LogPixelsX(); dpi > 0) hostOptions.pixelsPerInch = dpi;
  toolkit::HeadlessHost host(hostOptions);
  toolkit::Program program(host);
  if (script) {
    script->SetBrowseAnswer([&machine](std::optional<std::string> answer) {
      machine->shell().QueueBrowseAnswer(std::move(answer));
    });
    program.SetScript(std::move(script));
  }

  optimizer::OptimizerApp app(*machine, program, optimizer::MakeOperations());
  const int code = program.Run([&app] { app.Startup(); });
  machine->Commit();
  return code;
}
