// The command line shared by the three programs' native builds:
//   --machine DIR  --app-path WINPATH  --script FILE  --fast  --transcript  --fault FAULT...
//   -- ARGUMENTS...
// Each program adds its own options (ProgramOption).
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
  std::vector<std::string> faults;  // --fault FAULT, each checked, in the order given
  bool help = false;                // --help: the caller prints its usage
  std::string arguments;            // everything after "--", joined by single blanks
};

// One of a program's own options: a flag (|flag| set) or an option with a value (|value| set).
struct ProgramOption {
  std::string name;
  bool* flag = nullptr;
  std::string* value = nullptr;
};

// |args| without the program name, with the program's |own| options beside the shared ones.
// False with a one-line |error| for an unknown option, a missing value, a malformed --fault or a
// stray argument.
bool ParseOptions(const std::vector<std::string>& args, Options& options, std::string& error,
                  const std::vector<ProgramOption>& own = {});

// Reads and validates a script file; null with a one-line |error| when the file cannot be read
// (a folder cannot) or a line is malformed (the caller exits with kExitScriptMalformed).
std::unique_ptr<Script> LoadScript(const std::string& path, std::string& error);

// The script of --script FILE (when |path| is not empty) followed by |scenario|, the steps of a
// program's built-in scenario (when not empty). True with a null |script| when there is
// neither; false with a one-line |error| when the file cannot be read or a line is malformed.
bool LoadScenario(const std::string& path, const std::string& scenario,
                  std::unique_ptr<Script>& script, std::string& error);

// The program's folder from --app-path: |fallback| when it is empty or names a bare file; the
// folder of a path that names the program file itself (...\Program.exe); otherwise the path.
std::string ProgramFolderFromOption(const std::string& appPath, const std::string& fallback);

}  // namespace vu::toolkit
