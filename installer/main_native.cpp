// Install on a sandbox machine, with the headless form host:
//   install --machine DIR [--app-path WINPATH] [--script FILE] [--express] [--fast] [--transcript]
// The installation set is taken from the program's folder (C:\SETUP unless --app-path says
// otherwise). Exit status: 0 when the program ends, 2 for a bad command line, machine or script,
// 3 when a script step fails, 4 when the program sits idle with nothing left to happen.
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "installer/launch.h"
#include "installer/mod_main.h"
#include "platform/sandbox/machine.h"
#include "platform/status.h"
#include "toolkit/headless/host.h"
#include "toolkit/options.h"
#include "toolkit/program.h"
#include "toolkit/script.h"

namespace {

constexpr int kExitUsage = vu::toolkit::kExitScriptMalformed;

int Usage(const std::string& error) {
  std::cerr << "install: " << error << "\n"
            << "usage: install --machine DIR [--app-path WINPATH] [--script FILE] [--express]"
               " [--fast] [--transcript]\n";
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
  if (options.yes || !options.restore.empty())
    return Usage("--yes and --restore are not Install's");

  auto machine = platform::sandbox::SandboxMachine::Open(options.machine, &error);
  if (!machine) {
    std::cerr << "install: " << error << "\n";
    return kExitUsage;
  }
  machine->SetProgramFolder(installer::ProgramFolderFromOption(options.appPath));
  machine->SetCommandLine(options.arguments);

  std::unique_ptr<toolkit::Script> script;
  if (!installer::BuildScript(options.script, options.express, script, error)) {
    std::cerr << "install: " << error << "\n";
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

  installer::InstallerApp app(*machine, program);
  const int code = program.Run([&app] { app.Startup(); });
  machine->Commit();
  return code;
}
