// What the Optimizer's two entry points (the native program on a sandbox machine and the real
// Windows program) share about their command line.
#pragma once

#include <memory>
#include <string>

#include "optimizer/engine/state.h"
#include "toolkit/script.h"

namespace vu::optimizer {

// Where the sandbox runs the program from unless --app-path says otherwise.
inline constexpr const char* kDefaultAppFolder = "C:\\Program Files\\Velloria Utilities\\Optimizer";

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
