#include "uninstaller/launch.h"

#include <filesystem>
#include <fstream>
#include <sstream>

namespace vu::uninstaller {

const char* const kYesScript =
    "click frmConfirm.Command1\n"
    "until frmStart.Command1.enabled = \"True\" within 600000\n"
    "click frmStart.Command1\n";

namespace {

bool EndsWithExe(const std::string& path) {
  if (path.size() < 4) return false;
  std::string tail = path.substr(path.size() - 4);
  for (char& c : tail) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return tail == ".exe";
}

// Takes one option word (or a quoted file name) from the front of |rest|; false when none.
bool TakeWord(std::string_view& rest, std::string& word) {
  if (rest.empty()) return false;
  std::size_t end = 0;
  if (rest.front() == '"') {
    end = rest.find('"', 1);
    if (end == std::string_view::npos) return false;
    word = std::string(rest.substr(1, end - 1));
    ++end;
  } else {
    end = rest.find(' ');
    if (end == std::string_view::npos) end = rest.size();
    word = std::string(rest.substr(0, end));
  }
  rest.remove_prefix(end);
  return true;
}

}  // namespace

Automation SplitCommandLine(std::string_view commandLine) {
  Automation automation;
  std::string_view rest = commandLine;
  for (;;) {
    std::string_view next = rest;
    std::string word;
    if (!TakeWord(next, word)) break;
    if (word == "--yes") {
      automation.yes = true;
    } else if (word == "--script") {
      if (!next.starts_with(' ')) break;
      next.remove_prefix(1);
      std::string file;
      if (!TakeWord(next, file)) break;
      automation.script = std::move(file);
    } else {
      break;
    }
    // An option ends at one blank (or at the end); the argument starts right after it.
    if (!next.empty() && next.front() != ' ') break;
    if (!next.empty()) next.remove_prefix(1);
    rest = next;
  }
  automation.argument = std::string(rest);
  return automation;
}

std::string ProgramFolderFromOption(const std::string& appPath, const std::string& windowsDir) {
  if (appPath.empty()) return windowsDir;
  if (!EndsWithExe(appPath)) return appPath;
  const std::size_t slash = appPath.rfind('\\');
  if (slash == std::string::npos) return windowsDir;
  // A file directly in a drive root keeps its backslash: "C:\".
  return appPath.substr(0, slash == 2 ? 3 : slash);
}

bool BuildScript(const std::string& path, bool yes, std::unique_ptr<toolkit::Script>& script,
                 std::string& error) {
  script.reset();
  if (path.empty() && !yes) return true;
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
  if (yes) text += kYesScript;
  script = toolkit::Script::Parse(text, &error);
  return script != nullptr;
}

}  // namespace vu::uninstaller
