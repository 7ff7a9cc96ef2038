#include "planted_machine.h"

#include <filesystem>
#include <set>

#include "common/registry_mod.h"
#include "optimizer/app/launch.h"
#include "optimizer/app/operations_table.h"
#include "optimizer/engine/restore.h"
#include "platform/sandbox/shell_link.h"
#include "platform/text.h"
#include "tests/optimizer/harness.h"
#include "tests/support/machine_snapshot.h"

namespace vu::optimizer::testing {
namespace {

namespace fs = std::filesystem;
using vu::platform::Op;
using SandboxMachine = vu::test_support::TestMachine;

constexpr auto HKLM = HKEY_LOCAL_MACHINE;
const std::string kCurrentVersion = "Software\\Microsoft\\Windows\\CurrentVersion\\";

// What each cleaner must remove: files and folders, "KEY::VALUE" names, keys.
struct Problem {
  Step step;
  std::string item;
};
const std::vector<Problem> kProblems = {
    {Step::BrokenLinks, "C:\\WINDOWS\\DESKTOP\\Old Paint.lnk"},
    {Step::BrokenLinks, "C:\\WINDOWS\\START MENU\\PROGRAMS\\Old Game\\Old Game.lnk"},
    {Step::RegistryMistakes, "HKEY_LOCAL_MACHINE\\Software\\Old Game::InstallDir"},
    {Step::RegistryMistakes, "HKEY_USERS\\.DEFAULT\\Software\\Old Paint\\Recent::File1"},
    {Step::RegistryMistakes, "HKEY_USERS\\.DEFAULT\\Software\\Old Paint\\Recent::Icon"},
    {Step::OrphanedDlls,
     "HKEY_LOCAL_MACHINE\\" + kCurrentVersion + "SharedDLLs::C:\\WINDOWS\\SYSTEM\\OLDGAME.DLL"},
    {Step::UninstallInfo, "HKEY_LOCAL_MACHINE\\" + kCurrentVersion + "Uninstall\\Old Game"},
};
// Gone with its last shortcut.
const std::string kEmptiedFolder = "C:\\WINDOWS\\START MENU\\PROGRAMS\\Old Game";

void File(SandboxMachine& machine, const std::string& path, const std::string& bytes) {
  vu::test_support::PlantFile(machine.files(), path, bytes);
}

void Sz(SandboxMachine& machine, vu::platform::RootKey root, const std::string& key,
        const std::string& name, const std::string& text) {
  common::SetRegistryValue(machine.registry(), root, key, name, REG_SZ, text);
}

void Plant(SandboxMachine& machine) {
  using vu::platform::sandbox::BuildShellLink;
  File(machine, "C:\\WINDOWS\\NOTEPAD.EXE", "MZ");
  File(machine, "C:\\PROGRAM FILES\\WRITER\\WRITER.EXE", "MZ");
  File(machine, "C:\\PROGRAM FILES\\WRITER\\DEISL1.ISU", "log");
  File(machine, "C:\\WINDOWS\\SYSTEM\\MSVCRT.DLL", "MZ");
  File(machine, "C:\\WINDOWS\\START MENU\\PROGRAMS\\Accessories\\Notepad.lnk",
       BuildShellLink("C:\\WINDOWS\\NOTEPAD.EXE"));
  File(machine, "C:\\WINDOWS\\DESKTOP\\Writer.lnk",
       BuildShellLink("C:\\PROGRAM FILES\\WRITER\\WRITER.EXE"));
  File(machine, "C:\\WINDOWS\\DESKTOP\\Old Paint.lnk", BuildShellLink("C:\\OLDPAINT\\PAINT.EXE"));
  File(machine, "C:\\WINDOWS\\START MENU\\PROGRAMS\\Old Game\\Old Game.lnk",
       BuildShellLink("C:\\PROGRAM FILES\\OLD GAME\\GAME.EXE"));
  Sz(machine, HKLM, "Software\\Old Game", "InstallDir", "C:\\PROGRAM FILES\\OLD GAME\\GAME.EXE");
  Sz(machine, HKLM, "Software\\Old Game", "Version", "1.2");
  Sz(machine, HKLM, "Software\\Writer", "Path", "C:\\PROGRAM FILES\\WRITER\\WRITER.EXE");
  Sz(machine, HKEY_USERS, ".DEFAULT\\Software\\Old Paint\\Recent", "File1",
     "C:\\OLDPAINT\\SAMPLES\\SUNSET.BMP");
  Sz(machine, HKEY_USERS, ".DEFAULT\\Software\\Old Paint\\Recent", "Icon",
     "C:\\OLDPAINT\\PAINT.EXE,0");
  const std::string shared = kCurrentVersion + "SharedDLLs";
  for (const char* dll : {"C:\\WINDOWS\\SYSTEM\\MSVCRT.DLL", "C:\\WINDOWS\\SYSTEM\\OLDGAME.DLL",
                          "D:\\TOOLS\\NETWORK.DLL"}) {
    common::SetRegistryValue(machine.registry(), HKLM, shared, dll, REG_DWORD, "1");
  }
  const std::string uninstall = kCurrentVersion + "Uninstall\\";
  Sz(machine, HKLM, uninstall + "Old Game", "DisplayName", "Old Game");
  Sz(machine, HKLM, uninstall + "Old Game", "UninstallString",
     "C:\\PROGRAM FILES\\OLD GAME\\UNINST.EXE");
  Sz(machine, HKLM, uninstall + "Writer", "DisplayName", "Writer");
  Sz(machine, HKLM, uninstall + "Writer", "UninstallString",
     "C:\\WINDOWS\\NOTEPAD.EXE -f\"C:\\PROGRAM FILES\\WRITER\\DEISL1.ISU\"");
  Sz(machine, HKLM, "System\\CurrentControlSet\\Services\\Class\\NetTrans\\0000", "DriverDesc",
     "TCP/IP");
}

using Snapshot = vu::test_support::MachineSnapshot;

// Every drive of the machine, the run's backups left out.
Snapshot Take(const fs::path& dir, SandboxMachine& machine) {
  std::vector<std::string> drives;
  for (const auto& entry : fs::directory_iterator(dir / "drives"))
    drives.push_back(entry.path().filename().string() + ":");
  return vu::test_support::TakeSnapshot(machine, drives);
}

// The snapshot's items as the problems name them: paths, keys and "KEY::VALUE".
std::set<std::string> Items(const Snapshot& shot) {
  std::set<std::string> items;
  for (const auto& [path, entry] : shot.drive)
    items.insert(vu::platform::UpperCase(path));
  for (const auto& [key, values] : shot.registry) {
    items.insert(key);
    for (const auto& [name, data] : values)
      items.insert(key + "::" + name);
  }
  return items;
}

bool StartsWithNoCase(const std::string& text, const std::string& prefix) {
  return vu::platform::UpperCase(text).rfind(vu::platform::UpperCase(prefix), 0) == 0;
}

bool IsProblem(const std::string& item) {
  for (const Problem& problem : kProblems) {
    if (vu::platform::UpperCase(item) == vu::platform::UpperCase(problem.item)) return true;
    // A problem key takes its values and subkeys with it.
    if (problem.item.find("::") == std::string::npos &&
        (StartsWithNoCase(item, problem.item + "::") ||
         StartsWithNoCase(item, problem.item + "\\")))
      return true;
  }
  return vu::platform::UpperCase(item) == vu::platform::UpperCase(kEmptiedFolder);
}

// What differs between two snapshots, a few lines at most.
std::string Differences(const Snapshot& want, const Snapshot& got) {
  std::string text;
  for (const std::string& line : vu::test_support::SnapshotDiff(want, got, 4))
    text += (text.empty() ? "" : "; ") + line;
  return text;
}

std::string BackupFolder(const std::string& caption) {
  const std::string lead = "A backup of all changes was saved in ";
  return caption.rfind(lead, 0) == 0 ? caption.substr(lead.size()) : std::string();
}

}  // namespace

long long CountCalls(Op op) {
  OptimizerWorld world(96, MakeOperations());
  Plant(world.temp.machine());
  const long long before = world.temp.machine().faults().Calls(op);
  world.Play(kExpressScript);
  return world.temp.machine().faults().Calls(op) - before;
}

std::vector<std::string> SweepRun(Op op, long long n) {
  std::vector<std::string> anomalies;
  const std::string run = std::string(vu::platform::OpName(op)) + ":" + std::to_string(n) + ": ";
  OptimizerWorld world(96, MakeOperations());
  SandboxMachine& machine = world.temp.machine();
  Plant(machine);
  const Snapshot before = Take(world.temp.dir(), machine);
  machine.faults().FailNth(op, static_cast<int>(n), ERROR_ACCESS_DENIED);
  world.Play(kExpressScript);
  machine.faults().Clear();
  const Snapshot after = Take(world.temp.dir(), machine);

  // Nothing removed that was not planted as a problem.
  const std::set<std::string> left = Items(after);
  for (const std::string& item : Items(before)) {
    if (!left.contains(item) && !IsProblem(item)) anomalies.push_back(run + "deleted " + item);
  }
  // A problem still there shows the warning picture on its step's line.
  const ResultPanel& results = world.main().result;
  for (const Problem& problem : kProblems) {
    if (!left.contains(vu::platform::UpperCase(problem.item))) continue;
    const std::string picture = results.steps[Index(problem.step)].tick.picture();
    if (picture != "warning") {
      anomalies.push_back(run + "still there with picture \"" + picture + "\": " + problem.item);
    }
  }
  // The backup puts everything back, or says what it could not.
  const std::string folder = BackupFolder(results.backupLabel.caption());
  if (folder.empty()) {
    const std::string differences = Differences(before, after);
    if (!differences.empty()) anomalies.push_back(run + "changed without a backup: " + differences);
    return anomalies;
  }
  std::string report;
  const int restored = RunRestore(machine, folder, report);
  const Snapshot back = Take(world.temp.dir(), machine);
  const std::string differences = Differences(before, back);
  if (restored == 0 && !differences.empty()) {
    anomalies.push_back(run + "restore said everything was restored, but: " + differences);
  } else if (restored != 0 && report.find('\n') == std::string::npos) {
    anomalies.push_back(run + "restore failed without naming what: " + report);
  }
  return anomalies;
}

}  // namespace vu::optimizer::testing
