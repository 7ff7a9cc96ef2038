// Nothing the Optimizer removes is lost: an Express run on a machine with a problem of every kind,
// then --restore, gives back the machine as it was; a change whose backup cannot be written is
// not made; a run that changes nothing leaves no backup behind.
#include "optimizer/engine/backup.h"
#include "common/registry_mod.h"
#include "tests/backup/backup_world.h"

namespace vu::optimizer {
namespace {

using namespace backup_testing;

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
  ExpectRestored(folder, before);
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

TEST(BackupRunTest, SystemIniComesBackByteForByte) {
  // Without [vcache], so that the run adds the section, and with line ends and a last line that
  // an edit must not touch (every other shape is the settings-file edit's own test).
  for (const char* text : {"[boot]\r\nshell=Explorer.exe\r\n\r\n", "[boot]\rshell=Explorer.exe"}) {
    OptimizerWorld world{96, MakeOperations()};
    FileSystem& files = world.temp.machine().files();
    const std::string ini = "C:\\WINDOWS\\SYSTEM.INI";
    ASSERT_EQ(files.WriteAll(ini, text), ERROR_SUCCESS);
    ASSERT_EQ(world.Play(kExpressScript), 0) << world.errors.str();
    std::string bytes;
    ASSERT_EQ(files.ReadAll(ini, bytes), ERROR_SUCCESS);
    ASSERT_NE(bytes.find("MinFileCache"), std::string::npos) << bytes;
    std::string folder = world.Control("backupLabel").caption();
    folder = folder.substr(kLabelText.size());
    for (int round = 1; round <= 2; ++round) {
      std::string report;
      EXPECT_EQ(RunRestore(world.temp.machine(), folder, report), 0) << report;
      ASSERT_EQ(files.ReadAll(ini, bytes), ERROR_SUCCESS);
      EXPECT_EQ(bytes, text) << "round " << round;
    }
  }
}

// Changes announced together are recorded together, before the first of them is made: the
// journal holds every record while the originals are all still there.
class BatchTest : public BackupTest {
 protected:
  std::vector<JournalRecord> Records(const std::string& folder) {
    std::string bytes;
    files().ReadAll(folder + "\\" + std::string(kBackupJournalFile), bytes);
    return ReadJournal(bytes).records;
  }
};

TEST_F(BatchTest, RemovalsAreRecordedBeforeTheFirstAndUnusedOnesAreMadeVoid) {
  Plant();
  std::vector<std::string> links;
  for (int i = 0; i < 5; ++i) {
    links.push_back("C:\\WINDOWS\\DESKTOP\\Gone " + std::to_string(i) + ".lnk");
    vu::test_support::PlantLink(files(), links.back(), "C:\\GONE\\X.EXE");
  }
  ASSERT_EQ(files().SetAttributes(links[4], FILE_ATTRIBUTE_HIDDEN), ERROR_SUCCESS);
  // A path that is not there and a read-only file are left to the calls themselves.
  ASSERT_EQ(files().SetAttributes(links[3], FILE_ATTRIBUTE_READONLY), ERROR_SUCCESS);
  const Snapshot before = Take(machine());
  auto backup = std::make_unique<BackupMachine>(machine());
  backup->SetOptimization("Broken links fixed");
  std::vector<std::string> announced = links;
  announced.push_back("C:\\WINDOWS\\DESKTOP\\Not there.lnk");
  backup->files().ExpectRemovals(announced);
  const std::string folder = backup->folder();
  ASSERT_FALSE(folder.empty());
  EXPECT_EQ(Records(folder).size(), 4u);
  for (const std::string& link : links)
    EXPECT_TRUE(Exists(link)) << link;

  EXPECT_EQ(backup->files().Remove(links[0]), ERROR_SUCCESS);
  EXPECT_EQ(backup->files().Remove(links[4]), ERROR_SUCCESS);
  EXPECT_EQ(backup->files().Remove(links[3]), ERROR_ACCESS_DENIED);
  // Changed since it was announced: it gets a record of its own.
  ASSERT_EQ(files().SetAttributes(links[1], FILE_ATTRIBUTE_SYSTEM), ERROR_SUCCESS);
  EXPECT_EQ(backup->files().Remove(links[1]), ERROR_SUCCESS);
  EXPECT_EQ(Records(folder).size(), 5u);
  // links[2] is never removed, and links[1]'s first record stands for no change: both go void
  // when the next optimization starts.
  backup->SetOptimization("Registry erros fixed");
  const std::vector<JournalRecord> records = Records(folder);
  ASSERT_EQ(records.size(), 7u);
  EXPECT_EQ(records[5].kind, JournalRecord::Kind::kVoid);
  EXPECT_EQ(records[6].kind, JournalRecord::Kind::kVoid);
  EXPECT_EQ(LiveRecords(records).size(), 3u);
  backup.reset();  // the run ends
  const std::string contents = Contents(folder);
  std::string text;
  EXPECT_NE(contents.find("Deleted " + links[4]), std::string::npos) << contents;
  EXPECT_EQ(contents.find("Deleted " + links[2]), std::string::npos) << contents;
  // Each file comes back as it was when it was removed: links[1] with the attributes it had then.
  ASSERT_EQ(RunRestore(machine(), folder, text), 0) << text;
  EXPECT_EQ(files().Attributes(links[1]), static_cast<std::uint32_t>(FILE_ATTRIBUTE_SYSTEM));
  ASSERT_EQ(files().SetAttributes(links[1], FILE_ATTRIBUTE_ARCHIVE), ERROR_SUCCESS);
  EXPECT_EQ(Take(machine()), before);
}

TEST_F(BatchTest, ValueDeletionsShareOneRecordingAndComeBack) {
  Plant();
  const Snapshot before = Take(machine());
  const std::string key = "Software\\Vendor\\Tool";
  std::string folder;
  {
    BackupMachine backup(machine());
    backup.registry().ExpectValueDeletions(HKEY_LOCAL_MACHINE,
                                           {{key, "Path"}, {key, "Home"}, {key, "Not there"}});
    folder = backup.folder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(Records(folder).size(), 2u);
    EXPECT_EQ(
        common::DeleteRegistryValueChecked(backup.registry(), HKEY_LOCAL_MACHINE, key, "Path"),
        ERROR_SUCCESS);
    EXPECT_EQ(
        common::DeleteRegistryValueChecked(backup.registry(), HKEY_LOCAL_MACHINE, key, "Home"),
        ERROR_SUCCESS);
    EXPECT_EQ(Records(folder).size(), 2u);
  }
  std::string reg;
  ASSERT_EQ(files().ReadAll(folder + "\\" + std::string(kBackupRegistryFile), reg), ERROR_SUCCESS);
  EXPECT_NE(reg.find("\"Home\"=\"C:\\\\WINDOWS\""), std::string::npos) << reg;
  ExpectRestored(folder, before);
}

TEST_F(BatchTest, ABatchThatCannotBeRecordedChangesNothingInIt) {
  Plant();
  const std::vector<std::string> links = {"C:\\WINDOWS\\DESKTOP\\Old.lnk",
                                          "C:\\WINDOWS\\DESKTOP\\Notepad.lnk"};
  const Snapshot before = Take(machine());
  BackupMachine backup(machine());
  // The first write makes the empty journal; the second is the batch.
  world.temp.machine().faults().FailNth(Op::Append, 2, ERROR_DISK_FULL);
  backup.files().ExpectRemovals(links);
  world.temp.machine().faults().Clear();
  for (const std::string& link : links)
    EXPECT_EQ(backup.files().Remove(link), ERROR_WRITE_FAULT) << link;
  EXPECT_EQ(Take(machine()), before);
}

TEST_F(BatchTest, AFolderWithoutJournalIsABackupOnlyWhenEmpty) {
  // A run stopped between making its folder and its journal changed nothing.
  const std::string folder = std::string(kBackups) + "\\2000-01-01 10-00-00";
  vu::test_support::PlantFolder(files(), folder);
  EXPECT_TRUE(RestoreBackup(machine(), folder).ok());
  // Anything else without a journal is no backup.
  vu::test_support::PlantFile(files(), folder + "\\Shortcuts\\C\\Old.lnk", "L");
  const RestoreReport report = RestoreBackup(machine(), folder);
  ASSERT_FALSE(report.ok());
  EXPECT_EQ(report.failed.front(), "There is no Optimizer backup in " + folder);
}

}  // namespace
}  // namespace vu::optimizer
