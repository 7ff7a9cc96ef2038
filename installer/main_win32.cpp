// Install.exe: started without arguments it is the program the user double-clicks, taking the
// installation set from its own folder. For automation it also accepts --script FILE and
// --express, as the native build does, and installs unattended with /S [/NOMENU] [/D=FOLDER].
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "installer/installer_app.h"
#include "installer/launch.h"
#include "installer/unattended.h"
#include "toolkit/win32/entry.h"

int main() {
  using namespace vu;
  toolkit::win32::Win32Entry entry;
  entry.name = "Install";
  entry.buildScript = [](platform::Machine&, const std::vector<std::string>& arguments,
                         std::unique_ptr<toolkit::Script>& script, std::string& error) {
    const toolkit::win32::AutomationOptions automation =
        toolkit::win32::ReadAutomationOptions(arguments, false);
    return installer::BuildScript(automation.script, automation.express, script, error);
  };
  entry.run = [](platform::Machine& machine, toolkit::Program& program) {
    installer::InstallerApp app(machine, program);
    if (const std::optional<int> code = installer::RunUnattendedIfAsked(app)) return *code;
    return program.Run([&app] { app.Startup(); });
  };
  return toolkit::win32::RunWin32Entry(entry);
}
