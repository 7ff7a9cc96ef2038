#include "planted_machine.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "common/regedit4.h"
#include "common/registry_mod.h"
#include "optimizer/app/launch.h"
#include "optimizer/app/operations_table.h"
#include "optimizer/engine/restore.h"
#include "platform/sandbox/shell_link.h"
#include "platform/text.h"
#include "tests/optimizer/harness.h"

namespace vu::optimizer::testing {
namespace {

namespace fs = std::filesystem;
using vu::platform::sandbox::Op;
using vu::platform::sandbox::SandboxMachine;

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
  std::size_t at = path.find('\\');
  while ((at = path.find('\\', at + 1)) != std::string::npos)
    machine.files().MakeDirectory(path.substr(0, at));
  machine.files().WriteAll(path, bytes);
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

bool IsBackup(const std::string& path) {
  return vu::platform::UpperCase(path).find("VELLORIA OPTIMIZER BACKUPS") != std::string::npos;
}

// The machine as the checks compare it: every file and folder with its attributes and bytes,
// and the registry as "key K" and "value K::NAME=DATA" lines. The run's backups are left out.
struct Snapshot {
  std::map<std::string, std::string> files;
  std::set<std::string> keys;
  std::map<std::string, std::string> values;  // "K::NAME" -> data line
};

// The value's name from a REGEDIT4 line ("@" for the default one).
std::string ValueName(const std::string& line) {
  if (line.empty() || line[0] == '@') return "";
  std::string name;
  for (std::size_t i = 1; i < line.size(); ++i) {
    if (line[i] == '\\' && i + 1 < line.size()) {
      name += line[++i];
    } else if (line[i] == '"') {
      break;
    } else {
      name += line[i];
    }
  }
  return name;
}

Snapshot Take(const fs::path& dir, SandboxMachine& machine) {
  Snapshot snapshot;
  const fs::path drives = dir / "drives";
  std::error_code error;
  for (auto it = fs::recursive_directory_iterator(drives, error);
       it != fs::recursive_directory_iterator(); it.increment(error)) {
    const std::string relative = fs::relative(it->path(), drives).string();
    std::string win = relative.substr(0, 1) + ":";
    std::string rest = relative.substr(1);
    std::replace(rest.begin(), rest.end(), '/', '\\');
    win += rest;
    if (IsBackup(win)) continue;
    std::string entry = std::to_string(machine.files().Attributes(win));
    if (it->is_regular_file()) {
      std::ifstream in(it->path(), std::ios::binary);
      std::ostringstream bytes;
      bytes << in.rdbuf();
      entry += " " + bytes.str();
    }
    snapshot.files[vu::platform::UpperCase(win)] = entry;
  }
  std::string text;
  common::ExportRegFile(machine.registry(), {{HKLM, ""}, {HKEY_USERS, ""}}, text);
  std::istringstream lines(text);
  std::string line;
  std::string key;
  while (std::getline(lines, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.size() > 2 && line.front() == '[') {
      key = line.substr(1, line.size() - 2);
      snapshot.keys.insert(key);
    } else if (!line.empty() && (line[0] == '"' || line[0] == '@')) {
      snapshot.values[key + "::" + ValueName(line)] = line;
    }
  }
  return snapshot;
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

bool StillThere(const Snapshot& after, const std::string& item) {
  const std::string upper = vu::platform::UpperCase(item);
  if (after.files.count(upper) != 0) return true;
  for (const std::string& key : after.keys) {
    if (vu::platform::UpperCase(key) == upper) return true;
  }
  for (const auto& [name, line] : after.values) {
    if (vu::platform::UpperCase(name) == upper) return true;
  }
  return false;
}

// What differs between two snapshots, a few lines at most.
std::string Differences(const Snapshot& want, const Snapshot& got) {
  std::string text;
  int shown = 0;
  auto note = [&](const std::string& line) {
    if (shown++ < 4) text += (text.empty() ? "" : "; ") + line;
  };
  for (const auto& [path, entry] : want.files) {
    const auto it = got.files.find(path);
    if (it == got.files.end()) {
      note("missing " + path);
    } else if (it->second != entry) {
      note("changed " + path);
    }
  }
  for (const auto& [path, entry] : got.files) {
    if (want.files.count(path) == 0) note("added " + path);
  }
  for (const std::string& key : want.keys) {
    if (got.keys.count(key) == 0) note("missing key " + key);
  }
  for (const std::string& key : got.keys) {
    if (want.keys.count(key) == 0) note("added key " + key);
  }
  for (const auto& [name, line] : want.values) {
    const auto it = got.values.find(name);
    if (it == got.values.end()) {
      note("missing value " + name);
    } else if (it->second != line) {
      note("changed value " + name);
    }
  }
  for (const auto& [name, line] : got.values) {
    if (want.values.count(name) == 0) note("added value " + name);
  }
  // Where a value stands among its key's values is not compared: a deleted value put back comes
  // last, on Windows as here, and no registry call can place it anywhere else.
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
  const std::string run =
      std::string(vu::platform::sandbox::OpName(op)) + ":" + std::to_string(n) + ": ";
  OptimizerWorld world(96, MakeOperations());
  SandboxMachine& machine = world.temp.machine();
  Plant(machine);
  const Snapshot before = Take(world.temp.dir(), machine);
  machine.faults().FailNth(op, static_cast<int>(n), ERROR_ACCESS_DENIED);
  world.Play(kExpressScript);
  machine.faults().Clear();
  const Snapshot after = Take(world.temp.dir(), machine);

  // Nothing removed that was not planted as a problem.
  for (const auto& [path, entry] : before.files) {
    if (after.files.count(path) == 0 && !IsProblem(path))
      anomalies.push_back(run + "deleted " + path);
  }
  for (const std::string& key : before.keys) {
    if (after.keys.count(key) == 0 && !IsProblem(key))
      anomalies.push_back(run + "deleted key " + key);
  }
  for (const auto& [name, line] : before.values) {
    if (after.values.count(name) == 0 && !IsProblem(name))
      anomalies.push_back(run + "deleted value " + name);
  }
  // A problem still there shows the warning picture on its step's line.
  const ResultPanel& results = world.main().result;
  for (const Problem& problem : kProblems) {
    if (!StillThere(after, problem.item)) continue;
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
