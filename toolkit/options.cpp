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

std::unique_ptr<Script> LoadScript(const std::string& path, std::string& error) {
  std::ifstream in(std::filesystem::path(std::u8string(path.begin(), path.end())),
                   std::ios::binary);
  if (!in) {
    error = "cannot read script " + path;
    return nullptr;
  }
  std::ostringstream text;
  text << in.rdbuf();
  return Script::Parse(text.str(), &error);
}

}  // namespace vu::toolkit
