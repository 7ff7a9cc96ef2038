// A machine with a problem of every kind the Optimizer removes, and the snapshot that compares it
// before a run and after the restore, for the backup and restore tests.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/regedit4.h"
#include "optimizer/app/launch.h"
#include "optimizer/app/operations_table.h"
#include "optimizer/engine/backup_log.h"
#include "optimizer/engine/restore.h"
#include "platform/sandbox/shell_link.h"
#include "platform/text.h"
#include "tests/optimizer/harness.h"
#include "tests/support/machine_snapshot.h"

namespace vu::optimizer::backup_testing {

using testing::OptimizerWorld;
using vu::platform::FileSystem;
using vu::platform::FindData;
using vu::platform::Op;

inline constexpr std::string_view kBackups = "C:\\MY DOCUMENTS\\VELLORIA OPTIMIZER BACKUPS";
inline constexpr std::string_view kLabelText = "A backup of all changes was saved in ";

inline constexpr std::string_view kPlantedRegistry =
    "REGEDIT4\r\n\r\n"
    "[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs]\r\n"
    "\"C:\\\\WINDOWS\\\\SYSTEM\\\\KEPT.DLL\"=dword:00000002\r\n"
    "\"C:\\\\WINDOWS\\\\SYSTEM\\\\GONE.DLL\"=dword:00000001\r\n"
    "\"C:\\\\WINDOWS\\\\SYSTEM\\\\ALSO.DLL\"=dword:00000003\r\n\r\n"
    "[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\OldApp]\r\n"
    "\"DisplayName\"=\"Old App\"\r\n"
    "\"UninstallString\"=\"C:\\\\WINDOWS\\\\UNINST.EXE -f C:\\\\OLDAPP\\\\DeIsL1.isu\"\r\n\r\n"
    "[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\OldApp\\Parts]"
    "\r\n\"Bytes\"=hex:01,02,00,ff\r\n\"Count\"=dword:0000002a\r\n\r\n"
    "[HKEY_LOCAL_MACHINE\\Software\\Vendor\\Tool]\r\n"
    "\"Path\"=\"C:\\\\GONE\\\\TOOL.EXE\"\r\n"
    "\"Home\"=\"C:\\\\WINDOWS\"\r\n\r\n"
    "[HKEY_CURRENT_USER\\Control Panel\\desktop]\r\n"
    "\"Wallpaper\"=\"(None)\"\r\n\r\n"
    "[HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Services\\Class\\NetTrans\\0000]\r\n"
    "\"DriverDesc\"=\"TCP/IP\"\r\n"
    "\"MaxMTU\"=\"1500\"\r\n\r\n";

// The machine as compared before a run and after its restore.
using Snapshot = vu::test_support::MachineSnapshot;
inline Snapshot Take(vu::platform::Machine& machine) {
  return vu::test_support::TakeSnapshot(machine);
}
inline std::string Diff(const Snapshot& a, const Snapshot& b) {
  return vu::test_support::SnapshotDiffText(a, b);
}

// A problem of every kind the Optimizer removes, and things it must keep.
inline void PlantOn(vu::platform::Machine& machine) {
  FileSystem& files = machine.files();
  const auto file = [&](const std::string& path, std::string_view bytes) {
    vu::test_support::PlantFile(files, path, bytes);
  };
  const auto link = [&](const std::string& path, const std::string& target) {
    vu::test_support::PlantLink(files, path, target);
  };
  file("C:\\WINDOWS\\NOTEPAD.EXE", "MZ notepad");
  file("C:\\WINDOWS\\UNINST.EXE", "MZ uninstaller");
  file("C:\\WINDOWS\\SYSTEM\\KEPT.DLL", "MZ kept");
  file("C:\\WINDOWS\\SYSTEM\\ALSO.DLL", "MZ also");
  link("C:\\WINDOWS\\DESKTOP\\Old.lnk", "C:\\GONE\\OLD.EXE");
  link("C:\\WINDOWS\\DESKTOP\\Notepad.lnk", "C:\\WINDOWS\\NOTEPAD.EXE");
  link("C:\\WINDOWS\\START MENU\\PROGRAMS\\Old Group\\Old App.lnk", "C:\\OLDAPP\\APP.EXE");
  // An existing [vcache] entry has its old value kept; the other one is new.
  ASSERT_EQ(files.WriteProfileString("C:\\WINDOWS\\SYSTEM.INI", "vcache", "MinFileCache", "512"),
            ERROR_SUCCESS);
  std::vector<common::RegFileEdit> edits;
  common::RegFileProblem problem;
  ASSERT_TRUE(common::ParseRegFile(kPlantedRegistry, edits, problem)) << problem.message;
  ASSERT_TRUE(common::ApplyRegFile(machine.registry(), edits, problem)) << problem.message;
}

class BackupTest : public ::testing::Test {
 protected:
  FileSystem& files() { return world.temp.machine().files(); }
  vu::platform::Machine& machine() { return world.temp.machine(); }

  bool Exists(const std::string& path) {
    return files().Attributes(path) != INVALID_FILE_ATTRIBUTES;
  }

  void Plant() { PlantOn(machine()); }

  std::string BackupFolder() {
    const std::string& caption = world.Control("backupLabel").caption();
    if (caption.rfind(kLabelText, 0) != 0) return std::string();
    return caption.substr(kLabelText.size());
  }
  std::string Contents(const std::string& folder) {
    std::string text;
    files().ReadAll(folder + "\\" + std::string(kBackupContentsFile), text);
    return text;
  }
  StepOutcome Outcome(Step step) { return world.app.state().outcomes[Index(step)]; }
  // Restores the backup in |folder|: it must say all went well and give back |before| exactly.
  void ExpectRestored(const std::string& folder, const Snapshot& before) {
    const RestoreReport report = RestoreBackup(machine(), folder);
    EXPECT_TRUE(report.ok()) << FormatRestoreReport(folder, report);
    const Snapshot restored = Take(machine());
    EXPECT_EQ(before, restored) << Diff(before, restored);
  }
  bool BackupsExist() { return Exists(std::string(kBackups)); }

  OptimizerWorld world{96, MakeOperations()};
};

}  // namespace vu::optimizer::backup_testing
