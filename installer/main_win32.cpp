// Install.exe: started without arguments it is the program the user double-clicks, taking the
// installation set from its own folder. For automation it also accepts --script FILE, --express
// and --fault FAULT, as the native build does, and installs unattended with /S [/NOMENU]
// [/LOG=FILE] [/D=FOLDER].
#include <memory>
#include <optional>
#include <string>

#include "installer/installer_app.h"
#include "installer/launch.h"
#include "installer/unattended.h"
#include "toolkit/win32/entry.h"

int main() {
  using namespace vu;
  installer::CommandOptions own;
  toolkit::win32::Win32Entry entry;
  entry.name = "Install";
  entry.usage =
      "usage: Install.exe [--script FILE] [--express] [--fault FAULT]... [/S [/NOMENU] "
      "[/LOG=FILE] [/D=FOLDER]]\n";
  entry.own = installer::OwnOptions(own);
  entry.buildScript = [&own](platform::Machine&,
                             const toolkit::win32::AutomationOptions& automation,
                             std::unique_ptr<toolkit::Script>& script, std::string& error) {
    return installer::BuildScript(automation.script, own.express, script, error);
  };
  entry.run = [](platform::Machine& machine, toolkit::Program& program) {
    installer::InstallerApp app(machine, program);
    if (const std::optional<int> code = installer::RunUnattendedIfAsked(app)) return *code;
    return program.Run([&app] { app.Startup(); });
  };
  return toolkit::win32::RunWin32Entry(entry);
}
