#include "installer/launch.h"

#include "toolkit/options.h"

namespace vu::installer {

const char* const kExpressScript =
    "until frmMain.visible = \"True\" within 600000\n"
    "click frmMain.Command2\n"
    "click frmMain.Command2\n"
    "until frmMain.caption = \"Complete\" within 3600000\n"
    "expect frmMain.mainLabel.caption = \"Installation Successful\"\n"
    "set frmMain.Check2 0\n"
    "click frmMain.Command2\n";

std::vector<toolkit::ProgramOption> OwnOptions(CommandOptions& options) {
  return {{.name = "--express", .flag = &options.express}};
}

std::string ProgramFolderFromOption(const std::string& appPath) {
  return toolkit::ProgramFolderFromOption(appPath, kDefaultAppFolder);
}

bool BuildScript(const std::string& path, bool express, std::unique_ptr<toolkit::Script>& script,
                 std::string& error) {
  return toolkit::LoadScenario(path, express ? kExpressScript : "", script, error);
}

}  // namespace vu::installer
