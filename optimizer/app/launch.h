// What the Optimizer's two entry points (the native program on a sandbox machine and the real
// Windows program) share about their command line.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "optimizer/engine/state.h"
#include "toolkit/options.h"
#include "toolkit/script.h"

namespace vu::optimizer {

// Where the sandbox runs the program from unless --app-path says otherwise.
inline constexpr const char* kDefaultAppFolder = "C:\\Program Files\\Velloria Utilities\\Optimizer";

// The Optimizer's own options, on both builds: --express plays kExpressScript; --restore FOLDER
// puts back what a run changed, from its backup folder, instead of showing the wizard; /S runs
// Express with no window (RunExpressUnattended) and /LOG=FILE names its report's file.
struct CommandOptions {
  bool express = false;
  std::string restore;
  bool silent = false;
  std::string log;
};
std::vector<toolkit::ProgramOption> OwnOptions(CommandOptions& options);

// Whether the Windows program's |arguments| (its name first) suit "/S": nothing but /S, a
// /LOG=FILE with a file, and --fault FAULT. False with a one-line |error| otherwise (the
// program's exit status 2): a Windows program passes over what it does not know, but a
// deployment tool's typing mistake must not run something else than asked.
bool CheckSilentArguments(const std::vector<std::string>& arguments, std::string& error);

// The scenario --express plays: Express, Next, wait for the results page, clear "Restart
// computer", Close.
extern const char* const kExpressScript;

// The program's folder from --app-path: the default when empty; the folder of a path that names
// the program file itself (...\Optimizer.exe).
std::string ProgramFolderFromOption(const std::string& appPath);

// The automation script of --script FILE and --express (appended after the file's steps). Null
// when neither is given. False with a one-line |error| when the file cannot be read or a line
// is malformed.
bool BuildScript(const std::string& path, bool express, std::unique_ptr<toolkit::Script>& script,
                 std::string& error);

// The exit status of a program that ended with |code|: for an --express run that ended normally,
// 1 when a step of the run failed (its results line shows the warning picture), so that
// whoever started it can tell without a screen.
int ExitStatus(int code, bool express, const OptimizerState& state);

}  // namespace vu::optimizer
