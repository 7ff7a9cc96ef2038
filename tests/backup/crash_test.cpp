// A run that ends at any record, as a crash ends it, leaves a backup that gives back the machine
// as it was; a change whose loss cannot be told is refused; restore reads back what it put back
// and says so when something is not as it was.
#include <functional>

#include "tests/backup/backup_world.h"

namespace vu::optimizer {
namespace {

using namespace backup_testing;

// The backup folder of the only run, found on the disk (a run cut short has shown no label).
std::string OnlyBackup(FileSystem& files) {
  FindData entry;
  std::unique_ptr<vu::platform::Listing> listing;
  if (files.FindFirst(std::string(kBackups) + "\\*", entry, listing) != ERROR_SUCCESS) return {};
  std::string found;
  do {
    if (entry.name != "." && entry.name != "..") found = std::string(kBackups) + "\\" + entry.name;
  } while (listing->Next(entry));
  return found;
}

TEST(CrashTest, ARunCutShortAtAnyRecordIsRestoredExactly) {
  // How many durable writes a whole run makes: a record and a line of Contents.txt per change.
  OptimizerWorld whole{96, MakeOperations()};
  PlantOn(whole.temp.machine());
  ASSERT_EQ(whole.Play(kExpressScript), 0);
  const std::string wholeFolder = OnlyBackup(whole.temp.machine().files());
  std::string journal, contents;
  whole.temp.machine().files().ReadAll(wholeFolder + "\\" + std::string(kBackupJournalFile),
                                       journal);
  whole.temp.machine().files().ReadAll(wholeFolder + "\\" + std::string(kBackupContentsFile),
                                       contents);
  const std::size_t records = ReadJournal(journal).records.size();
  std::size_t writes = records;
  for (char c : contents)
    writes += c == '\n';
  ASSERT_GT(records, 10u) << "the run changed less than the planted machine needs";

  // The Nth durable write of the run fails and so does every one after it: from there on nothing
  // is recorded, as when the process dies there. A part of the record being written is left at
  // the end of the journal, as a crash in the middle of the write leaves it.
  for (std::size_t n = 1; n <= writes; ++n) {
    OptimizerWorld world{96, MakeOperations()};
    auto& machine = world.temp.machine();
    PlantOn(machine);
    const Snapshot before = Take(machine);
    for (std::size_t k = n; k <= writes + 1; ++k)
      machine.faults().FailNth(Op::Append, static_cast<int>(k), ERROR_DISK_FULL);
    ASSERT_EQ(world.Play(kExpressScript), 0) << world.errors.str();
    machine.faults().Clear();
    const std::string folder = OnlyBackup(machine.files());
    if (folder.empty()) {
      EXPECT_EQ(Take(machine), before) << "a change was made without a backup, at " << n;
      continue;
    }
    ASSERT_EQ(machine.files().Append(folder + "\\" + std::string(kBackupJournalFile),
                                     "#99 file 40 badf00d\r\nfile\t32\tC:\\WIN"),
              ERROR_SUCCESS);
    std::string text;
    EXPECT_EQ(RunRestore(machine, folder, text), 0) << "cut at " << n << "\n" << text;
    const Snapshot restored = Take(machine);
    EXPECT_EQ(before, restored) << "cut at " << n << ":\n" << Diff(before, restored) << text;
    // The registry editor's file is there even though the run never came to its end.
    if (text.find("Restored HKEY_") != std::string::npos) {
      std::string reg;
      EXPECT_EQ(machine.files().ReadAll(folder + "\\Registry.reg", reg), ERROR_SUCCESS);
      EXPECT_EQ(reg.rfind("REGEDIT4\r\n", 0), 0u);
    }
  }
}

class RefuseTest : public BackupTest {
 protected:
  // Plays the Express run with the faults set up; |afterRun| looks at the machine before the
  // backup is restored, which must give back the machine exactly.
  void RunAndRestore(const std::function<void()>& afterRun) {
    const Snapshot before = Take(machine());
    ASSERT_EQ(world.Play(kExpressScript), 0) << world.errors.str();
    world.temp.machine().faults().Clear();
    afterRun();
    const std::string folder = OnlyBackup(files());
    ASSERT_FALSE(folder.empty());
    ExpectRestored(folder, before);
  }
};

TEST_F(RefuseTest, AShortcutWhoseAttributesCannotBeReadIsKept) {
  Plant();
  const std::string old = "C:\\WINDOWS\\DESKTOP\\Old.lnk";
  world.temp.machine().faults().FailSubject(Op::Attributes, old, ERROR_ACCESS_DENIED);
  RunAndRestore([&] {
    EXPECT_EQ(Outcome(Step::BrokenLinks), StepOutcome::Failed);
    EXPECT_TRUE(Exists(old));
    EXPECT_FALSE(Exists("C:\\WINDOWS\\START MENU\\PROGRAMS\\Old Group\\Old App.lnk"));
  });
}

TEST_F(RefuseTest, MsdosSysWithUnreadableAttributesKeepsThem) {
  Plant();
  const std::uint32_t attributes = files().Attributes("C:\\MSDOS.SYS");
  std::string bytes;
  ASSERT_EQ(files().ReadAll("C:\\MSDOS.SYS", bytes), ERROR_SUCCESS);
  world.temp.machine().faults().FailSubject(Op::Attributes, "C:\\MSDOS.SYS", ERROR_ACCESS_DENIED);
  ASSERT_EQ(world.Play(kExpressScript), 0) << world.errors.str();
  world.temp.machine().faults().Clear();
  EXPECT_EQ(Outcome(Step::DosBoot), StepOutcome::Failed);
  EXPECT_EQ(files().Attributes("C:\\MSDOS.SYS"), attributes);
}

TEST_F(RefuseTest, AKeyThatCannotBeLookedUpIsNotMade) {
  Plant();
  // The keys the run makes, found by a run on a twin machine.
  OptimizerWorld twin{96, MakeOperations()};
  PlantOn(twin.temp.machine());
  ASSERT_EQ(twin.Play(kExpressScript), 0);
  std::string contents;
  twin.temp.machine().files().ReadAll(
      OnlyBackup(twin.temp.machine().files()) + "\\" + std::string(kBackupContentsFile), contents);
  std::vector<std::string> made;
  for (std::size_t at = contents.find("Created key "); at != std::string::npos;
       at = contents.find("Created key ", at + 1)) {
    const std::size_t start = contents.find('\\', at) + 1;
    made.push_back(contents.substr(start, contents.find("\r\n", at) - start));
  }
  ASSERT_FALSE(made.empty()) << contents;
  for (const std::string& key : made)
    world.temp.machine().faults().FailSubject(Op::RegOpenKey, key, ERROR_ACCESS_DENIED);
  RunAndRestore([&] {
    for (const std::string& key : made) {
      std::unique_ptr<vu::platform::RegistryKey> opened;
      EXPECT_EQ(machine().registry().OpenKey(HKEY_LOCAL_MACHINE, key, opened), ERROR_FILE_NOT_FOUND)
          << key;
    }
  });
}

TEST_F(BackupTest, ContentsListsOnlyChangesThatTookEffect) {
  Plant();
  ASSERT_EQ(files().SetAttributes("C:\\WINDOWS\\SYSTEM.INI", FILE_ATTRIBUTE_READONLY),
            ERROR_SUCCESS);
  ASSERT_EQ(world.Play(kExpressScript), 0) << world.errors.str();
  EXPECT_EQ(Outcome(Step::VirtualCache), StepOutcome::Failed);
  const std::string contents = Contents(BackupFolder());
  EXPECT_EQ(contents.find("MinFileCache"), std::string::npos) << contents;
  EXPECT_EQ(contents.find("MaxFileCache"), std::string::npos) << contents;
  EXPECT_NE(contents.find("Deleted C:\\WINDOWS\\DESKTOP\\Old.lnk"), std::string::npos);
}

TEST_F(BackupTest, RestoreNamesWhatItCouldNotPutBack) {
  Plant();
  const Snapshot before = Take(machine());
  ASSERT_EQ(world.Play(kExpressScript), 0) << world.errors.str();
  const std::string folder = BackupFolder();
  ASSERT_FALSE(folder.empty());

  // Msdos.sys deleted after the run and a shortcut's copy lost: both are named, the rest put back.
  ASSERT_EQ(files().SetAttributes("C:\\MSDOS.SYS", 0), ERROR_SUCCESS);
  ASSERT_EQ(files().Remove("C:\\MSDOS.SYS"), ERROR_SUCCESS);
  const std::string copy = folder + "\\Shortcuts\\C\\WINDOWS\\DESKTOP\\Old.lnk";
  std::string saved;
  ASSERT_EQ(files().ReadAll(copy, saved), ERROR_SUCCESS);
  ASSERT_EQ(files().Remove(copy), ERROR_SUCCESS);
  // And one registry value cannot be written back.
  world.temp.machine().faults().FailSubject(Op::RegSetValue, "Path", ERROR_ACCESS_DENIED);
  std::string text;
  EXPECT_EQ(RunRestore(machine(), folder, text), 1) << text;
  world.temp.machine().faults().Clear();
  EXPECT_EQ(text.find("Everything was restored."), std::string::npos) << text;
  for (const char* named :
       {"Not restored: C:\\Msdos.sys: it is missing", "Not restored: C:\\WINDOWS\\DESKTOP\\Old.lnk",
        "Not restored: HKEY_LOCAL_MACHINE\\Software\\Vendor\\Tool: value "
        "\"Path\" is missing",
        "3 item(s) could not be restored."}) {
    EXPECT_NE(text.find(named), std::string::npos) << named << "\n" << text;
  }
  EXPECT_NE(text.find("Restored C:\\WINDOWS\\START MENU\\PROGRAMS\\Old Group\\Old App.lnk"),
            std::string::npos)
      << text;

  // With the copy back, a second restore finishes the work; a third changes nothing.
  ASSERT_EQ(files().WriteAll(copy, saved), ERROR_SUCCESS);
  std::string msdos;
  for (int round = 1; round <= 2; ++round) {
    EXPECT_EQ(RunRestore(machine(), folder, text), 1) << text;  // Msdos.sys is still gone
    EXPECT_NE(text.find("1 item(s) could not be restored."), std::string::npos) << text;
    Snapshot restored = Take(machine());
    Snapshot expected = before;
    expected.drive.erase("C:\\MSDOS.SYS");
    EXPECT_EQ(expected, restored) << "round " << round << ":\n" << Diff(expected, restored);
  }
}

}  // namespace
}  // namespace vu::optimizer
