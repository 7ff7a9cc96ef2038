// Uninstall on a sandbox machine, with the headless form host:
//   uninstall --machine DIR [--app-path WINPATH] [--script FILE] [--fast] [--transcript] [--yes]
//             [--fault FAULT]... [-- ARGUMENT]
// e.g. uninstall --machine M --fast --yes -- "-Velloria Optimizer". The words after "--" are
// joined by single blanks into the program's argument.
// Exit status: 0 when the program ends, 2 for a bad command line, machine or script, 3 when a
// script step fails, 4 when the program sits idle with nothing left to happen.
#include <iostream>
#include <string>

#include "toolkit/headless/native_entry.h"
#include "uninstaller/launch.h"
#include "uninstaller/uninstall_app.h"

int main(int argc, char** argv) {
  using namespace vu;
  uninstaller::CommandOptions own;
  toolkit::NativeEntry entry;
  entry.name = "uninstall";
  entry.usage =
      "usage: uninstall --machine DIR [--app-path WINPATH] [--script FILE] [--fast]"
      " [--transcript] [--yes] [--fault FAULT]... [-- ARGUMENT]\n";
  entry.own = uninstaller::OwnOptions(own);
  entry.programFolder = [](const toolkit::Options& options, platform::System& system) {
    return uninstaller::ProgramFolderFromOption(options.appPath, system.WindowsDirectory());
  };
  entry.buildScript = [&own](const toolkit::Options& options,
                             std::unique_ptr<toolkit::Script>& script, std::string& error) {
    return uninstaller::BuildScript(options.script, own.yes, script, error);
  };
  entry.answersBrowse = false;  // Uninstall opens no folder dialog
  entry.run = [](platform::Machine& machine, toolkit::Program& program,
                 const toolkit::Options& options) {
    // "-- /S [/LOG=FILE] -<long name>" removes without the forms, as VLUN32.exe /S does.
    const uninstaller::Automation automation = uninstaller::SplitCommandLine(options.arguments);
    uninstaller::UninstallApp app(machine, program,
                                  automation.silent ? automation.argument : options.arguments);
    if (automation.silent) return uninstaller::RunSilently(app, automation, std::cerr);
    return program.Run([&app] { app.Startup(); });
  };
  return toolkit::RunNativeEntry(argc, argv, entry);
}
