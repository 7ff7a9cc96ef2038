// Uninstall.exe, installed as VLUN32.exe: started by the list of installed programs with one
// argument, a dash and the product's long name, taken exactly as the system passes it. For
// automation, "--script FILE", "--fault FAULT" and "--yes" may stand in front of that argument, and
// "/S" removes the product with no window (exit status 0 removed, or removed but for files in use
// that go when Windows restarts; 1 incomplete; 2 unknown product), writing its report to the file
// of "/LOG=FILE" or else to "%TEMP%\Velloria Uninstall.log".
#include <iostream>
#include <memory>
#include <string>
#include <utility>

#include "toolkit/win32/entry.h"
#include "uninstaller/launch.h"
#include "uninstaller/uninstall_app.h"

int main() {
  using namespace vu;
  uninstaller::Automation automation;
  toolkit::win32::Win32Entry entry;
  entry.name = "Uninstall";
  entry.usage =
      "usage: Uninstall.exe [--script FILE] [--fault FAULT]... [--yes] [/S [/LOG=FILE]] "
      "[ARGUMENT]\n";
  entry.buildScript = [&automation](platform::Machine& machine,
                                    const toolkit::win32::AutomationOptions&,
                                    std::unique_ptr<toolkit::Script>& script, std::string& error) {
    // The system's own split would cut the long name at its blank: the raw text counts.
    automation = uninstaller::SplitCommandLine(machine.system().CommandLine());
    return uninstaller::BuildScript(automation.script, automation.yes, script, error);
  };
  entry.answersBrowse = false;  // Uninstall opens no folder dialog
  entry.run = [&automation](platform::Machine& machine, toolkit::Program& program) {
    uninstaller::UninstallApp app(machine, program, std::move(automation.argument));
    if (automation.silent) return uninstaller::RunSilently(app, automation, std::cerr);
    return program.Run([&app] { app.Startup(); });
  };
  return toolkit::win32::RunWin32Entry(entry);
}
