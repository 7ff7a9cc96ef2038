// Install on a sandbox machine, with the headless form host:
//   install --machine DIR [--app-path WINPATH] [--script FILE] [--express] [--fast] [--transcript]
//           [--fault FAULT]... [-- /S [/NOMENU] [/LOG=FILE] [/D=FOLDER]]
// The installation set is taken from the program's folder (C:\SETUP unless --app-path says
// otherwise). Exit status: 0 when the program ends, 2 for a bad command line, machine or script,
// 3 when a script step fails, 4 when the program sits idle with nothing left to happen.
#include <optional>
#include <string>

#include "installer/installer_app.h"
#include "installer/launch.h"
#include "installer/unattended.h"
#include "toolkit/headless/native_entry.h"

int main(int argc, char** argv) {
  using namespace vu;
  installer::CommandOptions own;
  toolkit::NativeEntry entry;
  entry.name = "install";
  entry.usage =
      "usage: install --machine DIR [--app-path WINPATH] [--script FILE] [--express]"
      " [--fast] [--transcript] [--fault FAULT]... [-- /S [/NOMENU] [/LOG=FILE] [/D=FOLDER]]\n";
  entry.own = installer::OwnOptions(own);
  entry.programFolder = [](const toolkit::Options& options, platform::System&) {
    return installer::ProgramFolderFromOption(options.appPath);
  };
  entry.buildScript = [&own](const toolkit::Options& options,
                             std::unique_ptr<toolkit::Script>& script, std::string& error) {
    return installer::BuildScript(options.script, own.express, script, error);
  };
  entry.run = [](platform::Machine& machine, toolkit::Program& program, const toolkit::Options&) {
    installer::InstallerApp app(machine, program);
    if (const std::optional<int> code = installer::RunUnattendedIfAsked(app)) return *code;
    return program.Run([&app] { app.Startup(); });
  };
  return toolkit::RunNativeEntry(argc, argv, entry);
}
