// Nothing the Optimizer removes is lost: an Express run on a machine with a problem of every kind,
// then --restore, gives back the machine as it was; a change whose backup cannot be written is
// not made; a run that changes nothing leaves no backup behind.
#include <gtest/gtest.h>

#include <map>
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

namespace vu::optimizer {
namespace {

using testing::OptimizerWorld;
using vu::platform::FileSystem;
using vu::platform::FindData;
using vu::platform::Op;

constexpr std::string_view kBackups = "C:\\MY DOCUMENTS\\VELLORIA OPTIMIZER BACKUPS";
constexpr std::string_view kLabelText = "A backup of all changes was saved in ";

constexpr std::string_view kPlantedRegistry =
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

// Everything of a machine a run could change: the registry, keys and values compared as sets
// (the sandbox lists values in creation order, and a restored value is created anew), and every
// file and folder of drive C with size, attributes and bytes, the backups themselves excepted.
struct Snapshot {
  std::map<std::string, std::map<std::string, std::string>> registry;
  std::map<std::string, std::string> drive;
  bool operator==(const Snapshot&) const = default;
};

void AddRegistry(vu::platform::Registry& registry, vu::platform::RootKey root, Snapshot& shot) {
  std::string text;
  ASSERT_EQ(common::ExportRegFile(registry, {{root, ""}}, text), ERROR_SUCCESS);
  std::vector<common::RegFileEdit> edits;
  common::RegFileProblem problem;
  ASSERT_TRUE(common::ParseRegFile(text, edits, problem)) << problem.message;
  for (const common::RegFileEdit& e : edits) {
    auto& key = shot.registry[vu::platform::UpperCase(common::RegKeyName(e.root, e.path))];
    if (e.kind == common::RegFileEdit::Kind::kSetValue)
      key[vu::platform::UpperCase(e.name)] = std::to_string(e.type) + ":" + e.data;
  }
}

void AddFolder(FileSystem& files, const std::string& folder, Snapshot& shot) {
  FindData entry;
  std::unique_ptr<vu::platform::Listing> listing;
  if (files.FindFirst(folder + "\\*", entry, listing) != ERROR_SUCCESS) return;
  std::vector<FindData> entries;
  do {
    if (entry.name != "." && entry.name != "..") entries.push_back(entry);
  } while (listing->Next(entry));
  listing.reset();
  for (const FindData& e : entries) {
    const std::string path = folder + "\\" + e.name;
    if (vu::platform::EqualsNoCase(path, kBackups)) continue;
    std::string line = std::to_string(e.attributes) + " " + std::to_string(e.size);
    if (e.attributes & FILE_ATTRIBUTE_DIRECTORY) {
      AddFolder(files, path, shot);
    } else {
      std::string bytes;
      files.ReadAll(path, bytes);
      line += " " + bytes;
    }
    shot.drive[path] = line;  // the spelling counts too
  }
}

Snapshot Take(vu::platform::Machine& machine) {
  Snapshot shot;
  AddRegistry(machine.registry(), HKEY_LOCAL_MACHINE, shot);
  AddRegistry(machine.registry(), HKEY_USERS, shot);
  AddFolder(machine.files(), "C:", shot);
  return shot;
}

// The differences, for a failure message.
std::string Diff(const Snapshot& a, const Snapshot& b) {
  std::string out;
  for (const auto& [key, values] : a.registry) {
    auto it = b.registry.find(key);
    if (it == b.registry.end()) {
      out += "key gone: " + key + "\n";
    } else if (it->second != values) {
      out += "values differ: " + key + "\n";
    }
  }
  for (const auto& [key, values] : b.registry) {
    if (!a.registry.count(key)) out += "key added: " + key + "\n";
  }
  for (const auto& [path, line] : a.drive) {
    auto it = b.drive.find(path);
    if (it == b.drive.end()) {
      out += "file gone: " + path + "\n";
    } else if (it->second != line) {
      out += "file differs: " + path + "\n";
    }
  }
  for (const auto& [path, line] : b.drive) {
    if (!a.drive.count(path)) out += "file added: " + path + "\n";
  }
  return out;
}

class BackupTest : public ::testing::Test {
 protected:
  FileSystem& files() { return world.temp.machine().files(); }
  vu::platform::Machine& machine() { return world.temp.machine(); }

  void File(const std::string& path, std::string_view bytes) {
    ASSERT_EQ(MakeFolders(files(), path.substr(0, path.rfind('\\'))), ERROR_SUCCESS);
    ASSERT_EQ(files().WriteAll(path, bytes), ERROR_SUCCESS) << path;
  }
  void Link(const std::string& path, const std::string& target) {
    File(path, vu::platform::sandbox::BuildShellLink(target));
  }
  bool Exists(const std::string& path) {
    return files().Attributes(path) != INVALID_FILE_ATTRIBUTES;
  }

  // A problem of every kind the Optimizer removes, and things it must keep.
  void Plant() {
    File("C:\\WINDOWS\\NOTEPAD.EXE", "MZ notepad");
    File("C:\\WINDOWS\\UNINST.EXE", "MZ uninstaller");
    File("C:\\WINDOWS\\SYSTEM\\KEPT.DLL", "MZ kept");
    File("C:\\WINDOWS\\SYSTEM\\ALSO.DLL", "MZ also");
    Link("C:\\WINDOWS\\DESKTOP\\Old.lnk", "C:\\GONE\\OLD.EXE");
    Link("C:\\WINDOWS\\DESKTOP\\Notepad.lnk", "C:\\WINDOWS\\NOTEPAD.EXE");
    Link("C:\\WINDOWS\\START MENU\\PROGRAMS\\Old Group\\Old App.lnk", "C:\\OLDAPP\\APP.EXE");
    // An existing [vcache] entry has its old value kept; the other one is new.
    ASSERT_EQ(
        files().WriteProfileString("C:\\WINDOWS\\SYSTEM.INI", "vcache", "MinFileCache", "512"),
        ERROR_SUCCESS);
    std::vector<common::RegFileEdit> edits;
    common::RegFileProblem problem;
    ASSERT_TRUE(common::ParseRegFile(kPlantedRegistry, edits, problem)) << problem.message;
    ASSERT_TRUE(common::ApplyRegFile(machine().registry(), edits, problem)) << problem.message;
  }

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
  bool BackupsExist() { return Exists(std::string(kBackups)); }

  OptimizerWorld world{96, MakeOperations()};
};

TEST_F(BackupTest, RestoreAfterAnExpressRunGivesBackTheMachineAsItWas) {
  Plant();
  const Snapshot before = Take(machine());
  ASSERT_EQ(world.Play(kExpressScript), 0) << world.errors.str();
  const Snapshot after = Take(machine());
  EXPECT_FALSE(Exists("C:\\WINDOWS\\DESKTOP\\Old.lnk"));
  EXPECT_FALSE(Exists("C:\\WINDOWS\\START MENU\\PROGRAMS\\Old Group"));
  EXPECT_TRUE(Exists("C:\\WINDOWS\\DESKTOP\\Notepad.lnk"));

  const std::string folder = BackupFolder();
  ASSERT_FALSE(folder.empty()) << world.Control("backupLabel").caption();
  EXPECT_TRUE(world.Control("backupLabel").visible());
  EXPECT_TRUE(vu::platform::EqualsNoCase(folder.substr(0, kBackups.size()), kBackups)) << folder;
  std::string copy;
  ASSERT_EQ(files().ReadAll(folder + "\\Shortcuts\\C\\WINDOWS\\DESKTOP\\Old.lnk", copy),
            ERROR_SUCCESS);
  EXPECT_EQ(copy, vu::platform::sandbox::BuildShellLink("C:\\GONE\\OLD.EXE"));
  const std::string contents = Contents(folder);
  for (const char* expected :
       {"Broken links fixed: Deleted C:\\WINDOWS\\DESKTOP\\Old.lnk",
        "Registry erros fixed: Deleted value \"Path\" of "
        "HKEY_LOCAL_MACHINE\\Software\\Vendor\\Tool",
        "Invalid Uninstall removed: Deleted key "
        "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\OldApp",
        "Orphaned .dlls removed: Deleted value \"C:\\WINDOWS\\SYSTEM\\GONE.DLL\"",
        "VirtualCache optimized: Set MinFileCache in [vcache] of ", "(was 512)",
        "DOS BootMenu spedup: Changed the attributes of ", "(were RHS)"}) {
    EXPECT_NE(contents.find(expected), std::string::npos) << expected << "\n" << contents;
  }
  ASSERT_NE(before, after) << "the run changed nothing to restore";

  // Restoring puts everything back; a second restore finds nothing left to do and harms nothing.
  for (int round = 1; round <= 2; ++round) {
    const RestoreReport report = RestoreBackup(machine(), folder);
    EXPECT_TRUE(report.ok()) << FormatRestoreReport(folder, report);
    const Snapshot restored = Take(machine());
    EXPECT_EQ(before, restored) << "round " << round << ":\n" << Diff(before, restored);
  }
}

TEST_F(BackupTest, ABackupThatCannotBeWrittenChangesNothingAndTheStepsWarn) {
  Plant();
  world.temp.machine().faults().FailSubject(Op::MakeDirectory, std::string(kBackups),
                                            ERROR_ACCESS_DENIED);
  const Snapshot before = Take(machine());
  ASSERT_EQ(world.Play(kExpressScript), 0) << world.errors.str();
  const Snapshot after = Take(machine());
  EXPECT_EQ(before, after) << Diff(before, after);
  for (Step step : {Step::BrokenLinks, Step::RegistryMistakes, Step::VirtualCache, Step::DosBoot,
                    Step::UninstallInfo, Step::OrphanedDlls}) {
    EXPECT_EQ(Outcome(step), StepOutcome::Failed) << Index(step);
  }
  EXPECT_FALSE(BackupsExist());
  EXPECT_FALSE(world.Control("backupLabel").visible());
}

TEST_F(BackupTest, OneFailedBackupWriteKeepsOnlyThatItem) {
  Plant();
  // The copy of the first broken shortcut cannot be written.
  world.temp.machine().faults().FailNth(Op::Copy, 1, ERROR_DISK_FULL);
  const Snapshot before = Take(machine());
  ASSERT_EQ(world.Play(kExpressScript), 0) << world.errors.str();
  const bool oldKept = Exists("C:\\WINDOWS\\DESKTOP\\Old.lnk");
  const bool appKept = Exists("C:\\WINDOWS\\START MENU\\PROGRAMS\\Old Group\\Old App.lnk");
  EXPECT_NE(oldKept, appKept) << "exactly one shortcut stays";
  EXPECT_EQ(Outcome(Step::BrokenLinks), StepOutcome::Failed);
  EXPECT_EQ(Outcome(Step::OrphanedDlls), StepOutcome::Done);

  const std::string folder = BackupFolder();
  ASSERT_FALSE(folder.empty());
  const std::string contents = Contents(folder);
  EXPECT_EQ(contents.find(oldKept ? "Old.lnk" : "Old App.lnk"), std::string::npos) << contents;
  const RestoreReport report = RestoreBackup(machine(), folder);
  EXPECT_TRUE(report.ok()) << FormatRestoreReport(folder, report);
  const Snapshot restored = Take(machine());
  EXPECT_EQ(before, restored) << Diff(before, restored);
}

TEST(BackupRunTest, ARunThatChangesNothingLeavesNoBackup) {
  // The first run optimizes; a second machine that already looks like its result has nothing
  // left to change.
  OptimizerWorld first{96, MakeOperations()};
  ASSERT_EQ(first.Play(kExpressScript), 0) << first.errors.str();
  OptimizerWorld second{96, MakeOperations()};
  vu::platform::Machine& from = first.temp.machine();
  vu::platform::Machine& to = second.temp.machine();
  std::string text;
  ASSERT_EQ(
      common::ExportRegFile(from.registry(), {{HKEY_LOCAL_MACHINE, ""}, {HKEY_USERS, ""}}, text),
      ERROR_SUCCESS);
  std::vector<common::RegFileEdit> edits;
  common::RegFileProblem problem;
  ASSERT_TRUE(common::ParseRegFile(text, edits, problem));
  ASSERT_TRUE(common::ApplyRegFile(to.registry(), edits, problem)) << problem.message;
  for (const char* path : {"C:\\WINDOWS\\SYSTEM.INI", "C:\\MSDOS.SYS"}) {
    std::string bytes;
    ASSERT_EQ(from.files().ReadAll(path, bytes), ERROR_SUCCESS);
    ASSERT_EQ(to.files().SetAttributes(path, 0), ERROR_SUCCESS);
    ASSERT_EQ(to.files().WriteAll(path, bytes), ERROR_SUCCESS);
    ASSERT_EQ(to.files().SetAttributes(path, from.files().Attributes(path)), ERROR_SUCCESS);
  }

  ASSERT_EQ(second.Play(kExpressScript), 0) << second.errors.str();
  EXPECT_EQ(to.files().Attributes(kBackups), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(second.Control("backupLabel").caption(), "");
  EXPECT_FALSE(second.Control("backupLabel").visible());
}

TEST(BackupRecordsTest, FilesListReadsBackWhatWasWritten) {
  std::vector<FileRecord> records(4);
  records[0].kind = FileRecord::Kind::kFile;
  records[0].path = "C:\\WINDOWS\\DESKTOP\\Old.lnk";
  records[0].attributes = 34;
  records[0].copy = CopyPathFor(records[0].path);
  records[1].kind = FileRecord::Kind::kEntry;
  records[1].path = "C:\\WINDOWS\\SYSTEM.INI";
  records[1].section = "vcache";
  records[1].key = "MinFileCache";
  records[1].value = "a = b\twith a tab";
  records[2] = records[1];
  records[2].value.reset();
  records[2].sectionExisted = false;
  records[3].kind = FileRecord::Kind::kNewFolder;
  records[3].path = "\\\\SERVER\\SHARE\\NEW";
  std::vector<FileRecord> read;
  int bad = 0;
  ASSERT_TRUE(ParseFileRecords(FormatFileRecords(records), read, bad)) << bad;
  ASSERT_EQ(read.size(), records.size());
  EXPECT_EQ(read[0].copy, "Shortcuts\\C\\WINDOWS\\DESKTOP\\Old.lnk");
  EXPECT_EQ(read[0].attributes, 34u);
  EXPECT_EQ(read[1].value, records[1].value);
  EXPECT_FALSE(read[2].value);
  EXPECT_FALSE(read[2].sectionExisted);
  EXPECT_TRUE(read[1].sectionExisted);
  EXPECT_EQ(read[3].path, records[3].path);
  EXPECT_EQ(CopyPathFor("\\\\SERVER\\SHARE\\A.LNK"), "Shortcuts\\UNC\\SERVER\\SHARE\\A.LNK");
  EXPECT_FALSE(ParseFileRecords("file\tx\tC:\\A\tB\r\n", read, bad));
  EXPECT_EQ(bad, 1);
}

}  // namespace
}  // namespace vu::optimizer
