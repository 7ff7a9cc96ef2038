#include "toolkit/options.h"

#include <filesystem>
#include <fstream>
#include <sstream>

#include "toolkit/script.h"

namespace vu::toolkit {

bool ParseOptions(const std::vector<std::string>& args, Options& options, std::string& error) {
  struct Valued {
    const char* name;
    std::string Options::*field;
  };
  static const Valued kValued[] = {{"--machine", &Options::machine},
                                   {"--app-path", &Options::appPath},
                                   {"--script", &Options::script},
                                   {"--restore", &Options::restore}};
  struct Flag {
    const char* name;
    bool Options::*field;
  };
  static const Flag kFlags[] = {{"--fast", &Options::fast},
                                {"--transcript", &Options::transcript},
                                {"--express", &Options::express},
                                {"--yes", &Options::yes}};

  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--") {
      for (std::size_t j = i + 1; j < args.size(); ++j) {
        if (j > i + 1) options.arguments += ' ';
        options.arguments += args[j];
      }
      return true;
    }
    const std::size_t equals = arg.find('=');
    const std::string name = arg.substr(0, equals);
    bool known = false;
    for (const Valued& option : kValued) {
      if (name != option.name) continue;
      known = true;
      if (equals != std::string::npos) {
        options.*option.field = arg.substr(equals + 1);
      } else if (i + 1 < args.size()) {
        options.*option.field = args[++i];
      } else {
        error = name + " needs a value";
        return false;
      }
      if ((options.*option.field).empty()) {
        error = name + " needs a value";
        return false;
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
