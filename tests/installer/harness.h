// Install on a fresh sandbox machine with the headless host on a virtual clock. The installation
// set lies in C:\SETUP, the installer's own folder.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "installer/frm_main.h"
#include "installer/installer_app.h"
#include "platform/sandbox/machine.h"
#include "tests/support/temp_machine.h"
#include "toolkit/headless/host.h"
#include "toolkit/program.h"

namespace vu::installer::testing {

inline constexpr const char* kSetFolder = "C:\\SETUP";
inline constexpr const char* kRecordKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Velloria Optimizer";

// The nine run-time files, in table order.
std::vector<std::string> RuntimeNames();

// A new machine in a temporary folder, removed again with the object; Install runs from
// C:\SETUP.
class TempMachine : public vu::test_support::TempMachine {
 public:
  explicit TempMachine(int pixelsPerInch = 96);

  // A drive beside C: (an empty folder drives/<letter>).
  void AddDrive(char letter);
  // Writes |bytes| at a Windows path, making the folders on the way.
  void Write(const std::string& path, std::string_view bytes);
  std::string Read(const std::string& path);
};

// One start of Install on the machine: its host, program and state.
struct Session {
  Session(TempMachine& temp, std::ostream& errors, std::ostream& transcript);
  toolkit::HeadlessHost host;
  toolkit::Program program;
  InstallerApp app;
};

struct InstallWorld {
  explicit InstallWorld(int pixelsPerInch = 96);

  // Lays the installation set into C:\SETUP: program, uninstaller, help files and, with
  // |runtime|, the nine run-time files; names in |leaveOut| are not laid. Each file holds
  // "<tag> <name>".
  void LaySet(bool runtime = true, const std::vector<std::string>& leaveOut = {},
              const std::string& tag = "contents of");
  // A second start of Install on the same machine (the first session is gone).
  void NewSession();

  // Plays |script| from start-up to the program's end; returns the exit code (99: the watchdog
  // ended a run-away scenario).
  int Play(std::string_view script);
  // Sets the names and default paths and shows the wizard modelessly, without start-up's splash,
  // so that a test can click and look in between.
  void ShowWizard();
  // Lets events run until |done| holds or |ms| of virtual time have passed; false on time-out.
  bool RunUntil(const std::function<bool()>& done, std::int64_t ms = 60000);

  InstallerApp& app() { return session->app; }
  toolkit::Program& program() { return session->program; }
  FrmMain& main() { return session->app.main(); }
  // The record's value, or "(Not found)".
  std::string Record(std::string_view name);
  std::int64_t Now() { return session->host.NowMs(); }
  // The texts the status label showed, in order (from the transcript).
  std::vector<std::string> Statuses() const;

  TempMachine temp;
  std::ostringstream errors;
  std::ostringstream transcript;
  std::unique_ptr<Session> session;
};

}  // namespace vu::installer::testing
