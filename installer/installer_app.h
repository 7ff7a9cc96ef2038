// The installer's settings and its state object, and the start-up routine that fixes the
// product's names, the run-time files and the default paths before the splash opens.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "common/install_log.h"
#include "common/vb.h"
#include "platform/machine.h"
#include "toolkit/program.h"

namespace vu::installer {

class FrmMain;
class FrmSplash;

// The run-time table has slots 0 to 10; 1 to 9 hold the files, 0 and 10 stay empty.
inline constexpr int kRuntimeSlots = 11;

// The installer settings: process-wide values of the one running installer.
struct InstallerSettings {
  std::string ProgramFile;
  std::string ShortName;
  std::string LongName;
  std::array<std::string, kRuntimeSlots> RuntimeFiles{};
  int runtimeCount = 0;
  common::VbBool UseMenuIcon = common::kFalse;
  std::string ProgramfilePath;  // the install directory, no trailing backslash
  std::string StartmenuPath;
};

// What the stages found out while placing files, so that the last page tells the truth and the
// clean-up never deletes a file that has no copy in place.
struct InstallationOutcome {
  // Run-time slots copied into the system directory by this installer (at start-up or later).
  std::array<bool, kRuntimeSlots> runtimeCopied{};
  // Targets of the program file and the uninstaller that are not in place after placing them.
  std::vector<std::string> missing;
  // What this installer placed and created, in order, for the uninstaller to remove by.
  common::InstallLog log;
};

// Sets ProgramFile, ShortName, LongName and the nine run-time files.
void SetProductNames(InstallerSettings& settings);
// Sets UseMenuIcon, ProgramfilePath and StartmenuPath to their defaults. The menu folder is the
// group in the shell's program menu (where the shortcut goes), or in the Windows 9x one when the
// shell cannot name it.
void SetDefaultPaths(InstallerSettings& settings, vu::platform::Shell& shell);

class InstallerApp {
 public:
  InstallerApp(vu::platform::Machine& machine, toolkit::Program& program);
  InstallerApp(const InstallerApp&) = delete;
  InstallerApp& operator=(const InstallerApp&) = delete;

  // The program's entry procedure: names and run-time files, InstallSystemFiles, default paths,
  // then the splash, shown modelessly.
  void Startup();

  vu::platform::Machine& machine() const { return machine_; }
  toolkit::Program& program() const { return program_; }
  InstallerSettings& settings() { return settings_; }
  InstallationOutcome& outcome() { return outcome_; }

  // The forms, created and loaded on first use.
  FrmMain& main();
  FrmSplash& splash();

 private:
  vu::platform::Machine& machine_;
  toolkit::Program& program_;
  InstallerSettings settings_;
  InstallationOutcome outcome_;
};

}  // namespace vu::installer
