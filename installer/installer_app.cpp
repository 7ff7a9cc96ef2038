#include "installer/installer_app.h"

#include "common/install_record.h"
#include "common/paths.h"
#include "installer/frm_main.h"
#include "installer/frm_splash.h"
#include "installer/install_steps.h"
#include "platform/status.h"

namespace vu::installer {

void SetProductNames(InstallerSettings& settings) {
  settings.ProgramFile = common::kProgramFile;
  settings.ShortName = common::kProductShortName;
  settings.LongName = common::kProductLongName;
  settings.runtimeCount = 9;
  settings.RuntimeFiles = {"",
                           "Shelllnk.tlb",
                           "MSVBVM50.DLL",
                           "MSCOMCTL32.OCX",
                           "MSCOMCTL.OCA",
                           "OLEAUT32.DLL",
                           "OLEPRO32.DLL",
                           "ASYCFILT.DLL",
                           "STDOLE32.TLB",
                           "CTL3D32.DLL",
                           ""};
}

void SetDefaultPaths(InstallerSettings& settings, vu::platform::Shell& shell) {
  settings.UseMenuIcon = common::kTrue;
  settings.ProgramfilePath =
      std::string("C:\\Program Files\\") + common::kMenuGroup + "\\" + settings.ShortName;
  // Not created here: the menu stage makes only the group.
  std::string programs;
  if (shell.SpecialFolderPath(CSIDL_PROGRAMS, programs) != ERROR_SUCCESS || programs.empty())
    programs = "C:\\Windows\\Start Menu\\Programs";
  settings.StartmenuPath = common::QualifyPath(programs) + common::kMenuGroup;
}

InstallerApp::InstallerApp(vu::platform::Machine& machine, toolkit::Program& program)
    : machine_(machine), program_(program) {}

void InstallerApp::Startup() {
  SetProductNames(settings_);
  InstallSystemFiles(*this);
  SetDefaultPaths(settings_, machine_.shell());
  splash().Show();
}

FrmMain& InstallerApp::main() {
  return program_.form<FrmMain>(*this);
}

FrmSplash& InstallerApp::splash() {
  return program_.form<FrmSplash>(*this);
}

}  // namespace vu::installer
