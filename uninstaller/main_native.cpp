// Uninstall on a sandbox machine, with the headless form host:
//   uninstall --machine DIR [--app-path WINPATH] [--script FILE] [--fast] [--transcript] [--yes]
//             [-- ARGUMENT]
// e.g. uninstall --machine M --fast --yes -- "-Velloria Optimizer". The words after "--" are
// joined by single blanks into the program's argument.
// Exit status: 0 when the program ends, 2 for a bad command line, machine or script, 3 when a
// script step fails, 4 when the program sits idle with nothing left to happen.
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "platform/sandbox/machine.h"
#include "platform/status.h"
#include "toolkit/headless/host.h"
#include "toolkit/options.h"
#include "toolkit/program.h"
#include "toolkit/script.h"
#include "uninstaller/launch.h"
#include "uninstaller/mod_main.h"

namespace {

constexpr int kExitUsage = vu::toolkit::kExitScriptMalformed;

int Usage(const std::string& error) {
  std::cerr << "uninstall: " << error << "\n"
            << "usage: uninstall --machine DIR [--app-path WINPATH] [--script FILE] [--fast]"
               " [--transcript] [--yes] [-- ARGUMENT]\n";
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
  if (options.express) return Usage("unknown option --express");
  if (!options.restore.empty()) return Usage("unknown option --restore");

  auto machine = platform::sandbox::SandboxMachine::Open(options.machine, &error);
  if (!machine) {
    std::cerr << "uninstall: " << error << "\n";
    return kExitUsage;
  }
  platform::System& system = machine->system();
  machine->SetProgramFolder(
      uninstaller::ProgramFolderFromOption(options.appPath, system.WindowsDirectory()));
  machine->SetCommandLine(options.arguments);

  std::unique_ptr<toolkit::Script> script;
  if (!uninstaller::BuildScript(options.script, options.yes, script, error)) {
    std::cerr << "uninstall: " << error << "\n";
    return kExitUsage;
  }

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
  if (script) program.SetScript(std::move(script));

  uninstaller::UninstallApp app(*machine, program, options.arguments);
  const int code = program.Run([&app] { app.Startup(); });
  machine->Commit();
  return code;
}
