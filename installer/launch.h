// What Install's two entry points share about their command line: the --express scenario, the
// program's folder on a sandbox machine, and the automation script they build.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "toolkit/options.h"
#include "toolkit/script.h"

namespace vu::installer {

// Where the sandbox runs the installer from unless --app-path says otherwise: the folder
// `vmachine setup` lays the installation set into.
inline constexpr const char* kDefaultAppFolder = "C:\\SETUP";

// Install's own options, on both builds: --express plays kExpressScript.
struct CommandOptions {
  bool express = false;
};
std::vector<toolkit::ProgramOption> OwnOptions(CommandOptions& options);

// I Agree, Next with Express, wait for the Complete page (which must report success), clear
// "Run Optimizer after exit", Finish.
extern const char* const kExpressScript;

// The program's folder from --app-path: the default when empty; the folder of a path that names
// the program file itself (...\Install.exe).
std::string ProgramFolderFromOption(const std::string& appPath);

// The automation script of --script FILE followed by --express's steps; null when neither is
// given. False with a one-line |error| when the file cannot be read or a line is malformed.
bool BuildScript(const std::string& path, bool express, std::unique_ptr<toolkit::Script>& script,
                 std::string& error);

}  // namespace vu::installer
