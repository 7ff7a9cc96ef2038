// Uninstall on a fresh sandbox machine with the headless host on a virtual clock, and the
// installation it removes, laid down by registry writes and file writes as the installer makes it.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "platform/sandbox/machine.h"
#include "tests/support/temp_machine.h"
#include "toolkit/headless/host.h"
#include "toolkit/program.h"
#include "uninstaller/frm_confirm.h"
#include "uninstaller/frm_start.h"
#include "uninstaller/uninstall_app.h"

namespace vu::uninstaller::testing {

inline constexpr const char* kProgramDir = "C:\\Program Files\\Velloria Utilities\\Optimizer";
inline constexpr const char* kProductParent = "C:\\Program Files\\Velloria Utilities";
inline constexpr const char* kMenuFolder = "C:\\Windows\\Start Menu\\Programs\\Velloria Utilities";
inline constexpr const char* kUninstaller = "C:\\WINDOWS\\VLUN32.exe";
inline constexpr const char* kRecordKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Velloria Optimizer";

// A new machine in a temporary folder, removed again with the object; Uninstall runs from
// C:\WINDOWS.
class TempMachine : public vu::test_support::TempMachine {
 public:
  explicit TempMachine(int pixelsPerInch = 96);

  // A file (and any missing folder on its path) with a line of text.
  void MakeFile(const std::string& path);
  void MakeFolder(const std::string& path);
  // Writes one REG_SZ value under HKEY_LOCAL_MACHINE.
  void SetValue(const std::string& key, const std::string& name, const std::string& text);
  void DeleteValue(const std::string& key, const std::string& name);
  bool KeyExists(const std::string& key);

  // The express installation: program files, uninstaller, one shortcut in the program-menu
  // group, and the record with all six values.
  void InstallDefault();
  // InstallDefault with the installation log the installer writes; |parentMade| says whether the
  // installer made the products' folder above the program folder.
  void InstallLogged(bool parentMade = true);
};

// Records every value the progress bar takes.
class RecordingHost : public toolkit::HeadlessHost {
 public:
  using HeadlessHost::HeadlessHost;
  void ControlChanged(toolkit::Control& control, toolkit::Prop prop) override;
  std::vector<double> barValues;
};

struct UninstallWorld {
  explicit UninstallWorld(TempMachine& temp, std::string argument = "-Velloria Optimizer");

  // Runs the entry procedure without entering the event loop; returns the exit code when it
  // ended the program (the fatal-error dialog, which waits for ever), -1 otherwise.
  int Start();
  // Start, then Yes: returns once the removal has finished.
  void StartAndConfirm();
  // Plays |script| from start-up to the program's end; returns the exit code.
  int Play(std::string_view script);
  // Runs |action|, expecting it to end the program; the exit code, or -1 when it did not.
  int EndCode(const std::function<void()>& action);

  FrmStart& start() { return app.start(); }
  FrmConfirm& confirm() { return app.confirm(); }

  TempMachine& temp;
  std::ostringstream errors;
  RecordingHost host;
  toolkit::Program program;
  UninstallApp app;
};

}  // namespace vu::uninstaller::testing
