#include "installer/launch.h"

#include <filesystem>
#include <fstream>
#include <sstream>

namespace vu::installer {

const char* const kExpressScript =
    "until frmMain.visible = \"True\" within 600000\n"
    "click frmMain.Command2\n"
    "click frmMain.Command2\n"
    "until frmMain.caption = \"Complete\" within 3600000\n"
    "expect frmMain.mainLabel.caption = \"Installation Successful\"\n"
    "set frmMain.Check2 0\n"
    "click frmMain.Command2\n";

namespace {

bool EndsWithExe(const std::string& path) {
  if (path.size() < 4) return false;
  std::string tail = path.substr(path.size() - 4);
  for (char& c : tail) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return tail == ".exe";
}

}  // namespace

std::string ProgramFolderFromOption(const std::string& appPath) {
  if (appPath.empty()) return kDefaultAppFolder;
  if (!EndsWithExe(appPath)) return appPath;
  const std::size_t slash = appPath.rfind('\\');
  if (slash == std::string::npos) return kDefaultAppFolder;
  // A file directly in a drive root keeps its backslash: "C:\".
  return appPath.substr(0, slash == 2 ? 3 : slash);
}

bool BuildScript(const std::string& path, bool express, std::unique_ptr<toolkit::Script>& script,
                 std::string& error) {
  script.reset();
  if (path.empty() && !express) return true;
  std::string text;
  if (!path.empty()) {
    std::ifstream in(std::filesystem::path(std::u8string(path.begin(), path.end())),
                     std::ios::binary);
    if (!in) {
      error = "cannot read script " + path;
      return false;
    }
    std::ostringstream content;
    content << in.rdbuf();
    text = content.str();
    if (!text.empty() && text.back() != '\n') text += '\n';
  }
  if (express) text += kExpressScript;
  script = toolkit::Script::Parse(text, &error);
  return script != nullptr;
}

}  // namespace vu::installer
