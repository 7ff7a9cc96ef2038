#include "uninstaller/launch.h"

#include "toolkit/options.h"

namespace vu::uninstaller {

const char* const kYesScript =
    "click frmConfirm.Command1\n"
    "until frmStart.Command1.enabled = \"True\" within 600000\n"
    "click frmStart.Command1\n";

namespace {

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
    } else if (word == "/S" || word == "/s") {
      automation.silent = true;
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
  return toolkit::ProgramFolderFromOption(appPath, windowsDir);
}

bool BuildScript(const std::string& path, bool yes, std::unique_ptr<toolkit::Script>& script,
                 std::string& error) {
  return toolkit::LoadScenario(path, yes ? kYesScript : "", script, error);
}

}  // namespace vu::uninstaller
