// The command line shared by the three programs' native builds:
//   --machine DIR  --app-path WINPATH  --script FILE  --fast  --transcript
//   --express (Optimizer, Install)  --yes (Uninstall)  --restore DIR  -- ARGUMENTS...
#pragma once

#include <memory>
#include <string>
#include <vector>

namespace vu::toolkit {

class Script;

struct Options {
  std::string machine;  // the sandbox machine's folder
  std::string appPath;  // the program's own path on that machine (C:\...\Optimizer.exe)
  std::string script;   // automation script file
  bool fast = false;    // virtual clock
  bool transcript = false;
  bool express = false;
  bool yes = false;
  std::string restore;
  std::string arguments;  // everything after "--", joined by single blanks
};

// |args| without the program name. False with |error| for an unknown option, a missing value
// or a stray argument.
bool ParseOptions(const std::vector<std::string>& args, Options& options, std::string& error);

// Reads and validates a script file; null with a one-line |error| when the file cannot be read
// or a line is malformed (the caller exits with kExitScriptMalformed).
std::unique_ptr<Script> LoadScript(const std::string& path, std::string& error);

// The script of --script FILE (when |path| is not empty) followed by |scenario|, the steps of a
// built-in option such as --express (when not empty). True with a null |script| when there is
// neither; false with a one-line |error| when the file cannot be read or a line is malformed.
bool LoadScenario(const std::string& path, const std::string& scenario,
                  std::unique_ptr<Script>& script, std::string& error);

// The program's folder from --app-path: |fallback| when it is empty or names a bare file; the
// folder of a path that names the program file itself (...\Program.exe); otherwise the path.
std::string ProgramFolderFromOption(const std::string& appPath, const std::string& fallback);

}  // namespace vu::toolkit
