#include "uninstaller/launch.h"

#include <sstream>

#include "common/unattended_log.h"
#include "toolkit/options.h"
#include "uninstaller/uninstall_app.h"

namespace vu::uninstaller {

const char* const kYesScript =
    "click frmConfirm.Command1\n"
    "until frmStart.Command1.enabled = \"True\" within 600000\n"
    "click frmStart.Command1\n";

namespace {

// Takes one option word from the front of |rest|: up to a blank outside double quotes, the
// quotes dropped ("/LOG=C:\My Logs\u.log" and /LOG="C:\My Logs\u.log" are one word). False when
// there is none or a quote is left open.
bool TakeWord(std::string_view& rest, std::string& word) {
  if (rest.empty()) return false;
  word.clear();
  bool quoted = false;
  std::size_t end = 0;
  for (; end < rest.size() && (quoted || rest[end] != ' '); ++end) {
    if (rest[end] == '"') {
      quoted = !quoted;
    } else {
      word += rest[end];
    }
  }
  if (quoted) return false;
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
    } else if (std::string file; common::ReadLogSwitch(word, file)) {
      automation.logGiven = true;
      automation.log = std::move(file);
    } else if (word == "--script" || word == "--fault") {
      if (!next.starts_with(' ')) break;
      next.remove_prefix(1);
      std::string value;
      if (!TakeWord(next, value)) break;
      // The faults are read by the program's entry from the split arguments.
      if (word == "--script") automation.script = std::move(value);
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

std::vector<toolkit::ProgramOption> OwnOptions(CommandOptions& options) {
  return {{.name = "--yes", .flag = &options.yes}};
}

std::string ProgramFolderFromOption(const std::string& appPath, const std::string& windowsDir) {
  return toolkit::ProgramFolderFromOption(appPath, windowsDir);
}

int RunSilently(UninstallApp& app, const Automation& automation, std::ostream& errors) {
  std::ostringstream report;
  int status = kUnknownProduct;
  if (automation.logGiven && automation.log.empty()) {
    report << "Uninstall: /LOG= needs a file\n";
  } else {
    status = app.RunUnattended(report);
  }
  static constexpr const char* kMeaning[] = {"removed", "incomplete", "not removed"};
  report << "Uninstall: finished with exit status " << status << " (" << kMeaning[status] << ")\n";
  common::WriteUnattendedReport(app.machine(), "Uninstall", automation.log, report.str(), errors);
  return status;
}

bool BuildScript(const std::string& path, bool yes, std::unique_ptr<toolkit::Script>& script,
                 std::string& error) {
  return toolkit::LoadScenario(path, yes ? kYesScript : "", script, error);
}

}  // namespace vu::uninstaller
