#include "optimizer/app/launch.h"

#include <algorithm>

#include "common/unattended_log.h"
#include "toolkit/options.h"

namespace vu::optimizer {

const char* const kExpressScript =
    "click frmMain.WelcomeOption1\n"
    "click frmMain.nextButton\n"
    "until frmMain.caption = \"Finished Optimizing\" within 3600000\n"
    "set frmMain.bootCheck 0\n"
    "click frmMain.closeButton\n";

std::vector<toolkit::ProgramOption> OwnOptions(CommandOptions& options) {
  return {{.name = "--express", .flag = &options.express},
          {.name = "--restore", .value = &options.restore},
          {.name = "/S", .flag = &options.silent},
          {.name = "/s", .flag = &options.silent},
          {.name = "/LOG", .value = &options.log},
          {.name = "/log", .value = &options.log}};
}

bool CheckSilentArguments(const std::vector<std::string>& arguments, std::string& error) {
  for (std::size_t i = 1; i < arguments.size(); ++i) {
    const std::string& word = arguments[i];
    std::string file;
    if (word == "/S" || word == "/s" || word.rfind("--fault=", 0) == 0) continue;
    if (word == "--fault" && i + 1 < arguments.size()) {
      ++i;
      continue;
    }
    if (common::ReadLogSwitch(word, file)) {
      if (!file.empty()) continue;
      error = "/LOG= needs a file";
      return false;
    }
    error = "unknown switch " + word + " with /S";
    return false;
  }
  return true;
}

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
