#include "optimizer/app/launch.h"

#include <algorithm>

#include "toolkit/options.h"

namespace vu::optimizer {

const char* const kExpressScript =
    "click frmMain.WelcomeOption1\n"
    "click frmMain.nextButton\n"
    "until frmMain.caption = \"Finished Optimizing\" within 3600000\n"
    "set frmMain.bootCheck 0\n"
    "click frmMain.closeButton\n";

std::string ProgramFolderFromOption(const std::string& appPath) {
  return toolkit::ProgramFolderFromOption(appPath, kDefaultAppFolder);
}

bool BuildScript(const std::string& path, bool express, std::unique_ptr<toolkit::Script>& script,
                 std::string& error) {
  return toolkit::LoadScenario(path, express ? kExpressScript : "", script, error);
}

int ExitStatus(int code, bool express, const OptimizerState& state) {
  if (code != 0 || !express) return code;
  const bool failed = std::find(state.outcomes.begin(), state.outcomes.end(),
                                StepOutcome::Failed) != state.outcomes.end();
  return failed ? 1 : 0;
}

}  // namespace vu::optimizer
