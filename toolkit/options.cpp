#include "toolkit/options.h"

#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/fault_plan.h"
#include "toolkit/script.h"

namespace vu::toolkit {

namespace {

// The value of option |name| at |args[i]|: after '=' in the same argument or the next argument.
bool TakeValue(const std::vector<std::string>& args, std::size_t& i, const std::string& name,
               std::string& value, std::string& error) {
  const std::string& arg = args[i];
  if (arg.size() > name.size()) {
    value = arg.substr(name.size() + 1);
  } else if (i + 1 < args.size()) {
    value = args[++i];
  } else {
    value.clear();
  }
  if (!value.empty()) return true;
  error = name + " needs a value";
  return false;
}

}  // namespace

bool ParseOptions(const std::vector<std::string>& args, Options& options, std::string& error,
                  const std::vector<ProgramOption>& own) {
  struct Valued {
    const char* name;
    std::string Options::*field;
  };
  static const Valued kValued[] = {{"--machine", &Options::machine},
                                   {"--app-path", &Options::appPath},
                                   {"--script", &Options::script}};
  struct Flag {
    const char* name;
    bool Options::*field;
  };
  static const Flag kFlags[] = {{"--fast", &Options::fast},
                                {"--transcript", &Options::transcript},
                                {"--help", &Options::help}};

  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--") {
      for (std::size_t j = i + 1; j < args.size(); ++j) {
        if (j > i + 1) options.arguments += ' ';
        options.arguments += args[j];
      }
      return true;
    }
    const std::string name = arg.substr(0, arg.find('='));
    bool known = false;
    for (const Valued& option : kValued) {
      if (name != option.name) continue;
      known = true;
      if (!TakeValue(args, i, name, options.*option.field, error)) return false;
    }
    if (name == "--fault") {
      known = true;
      std::string fault;
      if (!TakeValue(args, i, name, fault, error)) return false;
      platform::FaultPlan check;
      if (!check.Add(fault, error)) return false;
      options.faults.push_back(std::move(fault));
    }
    for (const ProgramOption& option : own) {
      if (name != option.name) continue;
      if (option.value != nullptr) {
        known = true;
        if (!TakeValue(args, i, name, *option.value, error)) return false;
      } else if (option.flag != nullptr && arg == option.name) {
        known = true;
        *option.flag = true;
      }
    }
    for (const Flag& option : kFlags) {
      if (arg != option.name) continue;
      known = true;
      options.*option.field = true;
    }
    if (!known) {
      error = (arg.rfind("-", 0) == 0 ? "unknown option " : "unexpected argument ") + arg;
      return false;
    }
  }
  return true;
}

namespace {

bool ReadScriptFile(const std::string& path, std::string& text, std::string& error) {
  std::ifstream in(std::filesystem::path(std::u8string(path.begin(), path.end())),
                   std::ios::binary);
  if (!in) {
    error = "cannot read script " + path;
    return false;
  }
  // A folder opens on some systems but cannot be read. Asked by reading, not by a file-system
  // query, so that the Windows programs import nothing Windows 98 lacks.
  in.peek();
  if (in.bad()) {
    error = "cannot read script " + path + ": a folder, or a file that cannot be read";
    return false;
  }
  std::ostringstream content;
  content << in.rdbuf();
  text = content.str();
  return true;
}

bool EndsWithExe(const std::string& path) {
  if (path.size() < 4) return false;
  std::string tail = path.substr(path.size() - 4);
  for (char& c : tail) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return tail == ".exe";
}

}  // namespace

std::unique_ptr<Script> LoadScript(const std::string& path, std::string& error) {
  std::string text;
  if (!ReadScriptFile(path, text, error)) return nullptr;
  return Script::Parse(text, &error);
}

bool LoadScenario(const std::string& path, const std::string& scenario,
                  std::unique_ptr<Script>& script, std::string& error) {
  script.reset();
  if (path.empty() && scenario.empty()) return true;
  std::string text;
  if (!path.empty() && !ReadScriptFile(path, text, error)) return false;
  if (!text.empty() && text.back() != '\n') text += '\n';
  text += scenario;
  script = Script::Parse(text, &error);
  return script != nullptr;
}

std::string ProgramFolderFromOption(const std::string& appPath, const std::string& fallback) {
  if (appPath.empty()) return fallback;
  if (!EndsWithExe(appPath)) return appPath;
  const std::size_t slash = appPath.rfind('\\');
  if (slash == std::string::npos) return fallback;
  // A file directly in a drive root keeps its backslash: "C:\".
  return appPath.substr(0, slash == 2 ? 3 : slash);
}

}  // namespace vu::toolkit
