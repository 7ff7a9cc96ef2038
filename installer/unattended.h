// Install without the wizard, as deployment tools run installers: "/S" installs with the
// defaults and no window, "/NOMENU" leaves out the menu group, "/LOG=<file>" names the file the
// report goes to (else "%TEMP%\Velloria Install.log"), and "/D=<folder>" chooses the folder; it
// stands last and takes the rest of the line, blanks included.
#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <string_view>

namespace vu::installer {

class InstallerApp;

// Exit statuses of an unattended installation.
inline constexpr int kInstalled = 0;
inline constexpr int kInstallIncomplete = 1;
inline constexpr int kInstallBadCommandLine = 2;

struct InstallSwitches {
  bool silent = false;
  bool noMenu = false;
  std::string folder;  // "" for the default
  std::string log;     // "" for the default log
};

// True when the command-line text asks for an unattended installation ("/S" among its words).
bool IsUnattended(std::string_view commandLine);
// The switches of |commandLine|; false with a one-line |error| for a word that is none of them
// (the automation options "--express" and "--script FILE" are passed over).
bool ParseInstallSwitches(std::string_view commandLine, InstallSwitches& switches,
                          std::string& error);

// The wizard's steps with the defaults and |switches|, then the record and the clean-up. Writes
// what could not be placed to |errors|; returns kInstalled or kInstallIncomplete.
int InstallUnattended(InstallerApp& app, const InstallSwitches& switches, std::ostream& errors);

// The exit status of an unattended installation when the machine's command line asks for one
// (kInstallBadCommandLine for switches it cannot take); nothing when it does not. The report
// (what could not be placed, or where it installed, and the status) goes to standard error and
// to the log.
std::optional<int> RunUnattendedIfAsked(InstallerApp& app);

}  // namespace vu::installer
