#include "installer/unattended.h"

#include <iostream>
#include <sstream>
#include <vector>

#include "common/paths.h"
#include "common/unattended_log.h"
#include "installer/install_steps.h"
#include "installer/installer_app.h"
#include "installer/uninstall_record.h"
#include "platform/text.h"

namespace vu::installer {

namespace {

// |text| without the double quotes around it or its value ("/D=C:\x y" or /D="C:\x y"), as a
// system that quotes an argument with blanks passes it on.
std::string Unquoted(std::string_view text) {
  std::string out;
  for (char c : text) {
    if (c != '"') out += c;
  }
  return out;
}

// The words of |text| up to a "/D=" word, which keeps the rest of the text whole.
std::vector<std::string> Words(std::string_view text) {
  std::vector<std::string> words;
  std::string_view rest = common::Trim(text);
  while (!rest.empty()) {
    const std::string_view bare = rest.front() == '"' ? rest.substr(1) : rest;
    if (bare.size() >= 3 && platform::EqualsNoCase(bare.substr(0, 3), "/D=")) {
      words.emplace_back(common::Trim(Unquoted(rest)));
      break;
    }
    // A word ends at a blank outside double quotes ("/LOG=C:\My Logs\i.log" is one).
    std::size_t end = 0;
    bool quoted = false;
    for (; end < rest.size() && (quoted || rest[end] != ' '); ++end) {
      if (rest[end] == '"') quoted = !quoted;
    }
    words.emplace_back(rest.substr(0, end));
    rest = common::Trim(rest.substr(end));
  }
  return words;
}

}  // namespace

bool IsUnattended(std::string_view commandLine) {
  for (const std::string& word : Words(commandLine)) {
    if (platform::EqualsNoCase(word, "/S")) return true;
  }
  return false;
}

bool ParseInstallSwitches(std::string_view commandLine, InstallSwitches& switches,
                          std::string& error) {
  switches = InstallSwitches{};
  const std::vector<std::string> words = Words(commandLine);
  for (std::size_t i = 0; i < words.size(); ++i) {
    const std::string& word = words[i];
    if (platform::EqualsNoCase(word, "/S")) {
      switches.silent = true;
    } else if (platform::EqualsNoCase(word, "/NOMENU")) {
      switches.noMenu = true;
    } else if (word.size() >= 3 && platform::EqualsNoCase(word.substr(0, 3), "/D=")) {
      std::string folder(common::Trim(word.substr(3)));
      // A trailing backslash is dropped as the wizard's folder has none, but a drive's is kept.
      if (folder.size() > 3 && folder.back() == '\\') folder.pop_back();
      if (folder.size() < 3 || folder[1] != ':' || folder[2] != '\\') {
        error = "/D= needs a full folder path such as C:\\Apps\\Optimizer";
        return false;
      }
      switches.folder = std::move(folder);
    } else if (std::string file; common::ReadLogSwitch(word, file)) {
      if (file.empty()) {
        error = "/LOG= needs a file";
        return false;
      }
      switches.log = std::move(file);
    } else if (word == "--express") {
    } else if (word == "--script" && i + 1 < words.size()) {
      ++i;
    } else {
      error = "unknown switch " + word;
      return false;
    }
  }
  return true;
}

int InstallUnattended(InstallerApp& app, const InstallSwitches& switches, std::ostream& errors) {
  InstallerSettings& settings = app.settings();
  SetProductNames(settings);
  SetDefaultPaths(settings, app.machine().shell());
  if (!switches.folder.empty()) settings.ProgramfilePath = switches.folder;
  if (switches.noMenu) settings.UseMenuIcon = common::kFalse;

  InstallSystemFiles(app);
  InstallProgramFiles(app);
  if (common::IsSet(settings.UseMenuIcon)) CreateProgramMenu(app);
  WriteUninstallRecord(app);
  RemoveSourceFiles(app);

  const std::vector<std::string>& missing = app.outcome().missing;
  if (missing.empty()) return kInstalled;
  errors << "Install: Installation Incomplete. These files could not be placed:\n";
  for (const std::string& path : missing)
    errors << "  " << path << "\n";
  return kInstallIncomplete;
}

std::optional<int> RunUnattendedIfAsked(InstallerApp& app) {
  const std::string commandLine = app.machine().system().CommandLine();
  if (!IsUnattended(commandLine)) return std::nullopt;
  InstallSwitches switches;
  std::string error;
  std::ostringstream report;
  int status = kInstallBadCommandLine;
  if (!ParseInstallSwitches(commandLine, switches, error)) {
    report << "Install: " << error << "\n";
  } else {
    status = InstallUnattended(app, switches, report);
    if (status == kInstalled)
      report << "Install: installed in " << app.settings().ProgramfilePath << "\n";
  }
  static constexpr const char* kMeaning[] = {"installed", "incomplete", "bad command line"};
  report << "Install: finished with exit status " << status << " (" << kMeaning[status] << ")\n";
  // A /LOG= read before a bad word still counts.
  common::WriteUnattendedReport(app.machine(), "Install", switches.log, report.str(), std::cerr);
  return status;
}

}  // namespace vu::installer
