// What the Uninstall program's two entry points (the native program on a sandbox machine and the
// real Windows program) share about their command line and automation.
#pragma once

#include <memory>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "toolkit/options.h"
#include "toolkit/script.h"

namespace vu::uninstaller {

// The native program's own options: --yes plays kYesScript.
struct CommandOptions {
  bool yes = false;
};
std::vector<toolkit::ProgramOption> OwnOptions(CommandOptions& options);

// The scenario --yes plays: Yes, wait for the completion text, Close.
extern const char* const kYesScript;

// The Windows program's command-line text: automation options in front ("--script FILE" and
// "--fault FAULT", the file or fault in double quotes when it holds blanks, and "--yes"), then the
// uninstaller's argument, which is everything after the blank that follows the last option,
// exactly as passed. "/S" among the options removes the product without a window (see
// UninstallApp::RunUnattended), and "/LOG=<file>" names the file its report goes to.
struct Automation {
  std::string script;
  bool yes = false;
  bool silent = false;
  bool logGiven = false;
  std::string log;
  std::string argument;
};
Automation SplitCommandLine(std::string_view commandLine);

class UninstallApp;

// "/S": removes the product with no window and writes the report (what stays, what goes when
// Windows restarts, the exit status) to |errors| and to the log (common/unattended_log.h).
// Returns the exit status: kRemoved, kRemoveIncomplete, or kUnknownProduct (also for a "/LOG="
// without a file).
int RunSilently(UninstallApp& app, const Automation& automation, std::ostream& errors);

// The program's folder from --app-path: |windowsDir| when empty; the folder of a path that names
// the program file itself (...\VLUN32.exe).
std::string ProgramFolderFromOption(const std::string& appPath, const std::string& windowsDir);

// The automation script of --script FILE and --yes (appended after the file's steps). Null when
// neither is given. False with a one-line |error| when the file cannot be read or a line is
// malformed.
bool BuildScript(const std::string& path, bool yes, std::unique_ptr<toolkit::Script>& script,
                 std::string& error);

}  // namespace vu::uninstaller
