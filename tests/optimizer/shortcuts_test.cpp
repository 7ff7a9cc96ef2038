// The broken-shortcut finder: what the search records, what the removal deletes, which folders
// go with their last shortcut, and how failures and a full table are reported.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "cleaner_fixture.h"
#include "optimizer/engine/shortcuts.h"

namespace vu::optimizer::testing {
namespace {

using vu::platform::sandbox::Op;

class ShortcutsTest : public CleanerTest {
 protected:
  ShortcutTable& table() { return world.state.shortcuts; }
  std::vector<std::string> Recorded() {
    std::vector<std::string> recorded;
    for (int i = 1; i <= table().linkCount && i <= ShortcutTable::kCapacity; ++i)
      recorded.push_back(table().linkFiles[i] + " -> " + table().linkTargets[i]);
    return recorded;
  }
  bool Search() {
    Engine e = engine();
    return FindShortcuts(e);
  }
  bool Remove() {
    Engine e = engine();
    return RemoveBrokenShortcuts(e);
  }
};

TEST_F(ShortcutsTest, AnEmptyDriveRecordsNothingAndRemovesNothing) {
  EXPECT_TRUE(Search());
  EXPECT_EQ(table().linkCount, 0);
  EXPECT_TRUE(Remove());
  EXPECT_TRUE(Exists("C:\\WINDOWS\\DESKTOP"));
}

TEST_F(ShortcutsTest, RecordsFolderFirstDepthFirstSkippingMarkedFilesAndFolders) {
  File("C:\\APP\\APP.EXE");
  Link("C:\\b.lnk", "C:\\APP\\APP.EXE");
  Link("C:\\A\\x.lnk", "C:\\GONE\\X.EXE");
  Link("C:\\A\\SUB\\y.lnk", "C:\\APP\\APP.EXE");
  Link("C:\\A\\z.lnk", "D:\\Z.EXE");
  File("C:\\A\\notalink.txt");
  // Files that are read-only, hidden or system, and everything in hidden or system folders.
  for (auto [path, attributes] :
       {std::pair{"C:\\A\\ro.lnk", FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE},
        {"C:\\A\\hid.lnk", FILE_ATTRIBUTE_HIDDEN},
        {"C:\\A\\sys.lnk", FILE_ATTRIBUTE_SYSTEM}}) {
    Link(path, "C:\\GONE\\X.EXE");
    ASSERT_EQ(files().SetAttributes(path, attributes), ERROR_SUCCESS);
  }
  Link("C:\\HID\\in.lnk", "C:\\GONE\\X.EXE");
  ASSERT_EQ(files().SetAttributes("C:\\HID", FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN),
            ERROR_SUCCESS);
  Link("C:\\SYS\\in.lnk", "C:\\GONE\\X.EXE");
  ASSERT_EQ(files().SetAttributes("C:\\SYS", FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_SYSTEM),
            ERROR_SUCCESS);
  // A normal file (attribute word 128) counts like an archived one.
  Link("C:\\A\\SUB\\n.lnk", "C:\\N.EXE");
  ASSERT_EQ(files().SetAttributes("C:\\A\\SUB\\n.lnk", 0), ERROR_SUCCESS);

  EXPECT_TRUE(Search());
  EXPECT_EQ(Recorded(), (std::vector<std::string>{
                            "C:\\b.lnk -> C:\\APP\\APP.EXE",
                            "C:\\A\\x.lnk -> C:\\GONE\\X.EXE",
                            "C:\\A\\z.lnk -> D:\\Z.EXE",
                            "C:\\A\\SUB\\n.lnk -> C:\\N.EXE",
                            "C:\\A\\SUB\\y.lnk -> C:\\APP\\APP.EXE",
                        }));
}

TEST_F(ShortcutsTest, DeletesExactlyTheShortcutsWhoseTargetIsGoneOnTheSystemDrive) {
  File("C:\\APP\\APP.EXE");
  Folder("C:\\APP\\DATA");
  Link("C:\\LINKS\\ok.lnk", "C:\\APP\\APP.EXE");
  Link("C:\\LINKS\\folder.lnk", "C:\\APP\\DATA");
  Link("C:\\LINKS\\gone.lnk", "C:\\GONE\\X.EXE");
  Link("C:\\LINKS\\lower.lnk", "c:\\gone\\y.exe");
  Link("C:\\LINKS\\otherdrive.lnk", "D:\\GONE\\X.EXE");
  Link("C:\\LINKS\\net.lnk", "\\\\server\\share\\gone.exe");
  File("C:\\LINKS\\garbage.lnk", std::string(200, 'g'));
  // An existing program in a folder whose name has a dot is not judged by its cut name.
  File("C:\\PROGRAM FILES\\APP 2.0\\RUN.EXE");
  Link("C:\\LINKS\\dotted.lnk", "C:\\PROGRAM FILES\\APP 2.0\\RUN.EXE");

  ASSERT_TRUE(Search());
  EXPECT_TRUE(Remove());
  EXPECT_FALSE(Exists("C:\\LINKS\\gone.lnk"));
  EXPECT_FALSE(Exists("C:\\LINKS\\lower.lnk"));
  for (const char* kept : {"ok", "folder", "otherdrive", "net", "garbage", "dotted"}) {
    EXPECT_TRUE(Exists(std::string("C:\\LINKS\\") + kept + ".lnk")) << kept;
  }
  // Deleted shortcuts stay in the table.
  EXPECT_EQ(table().linkCount, 8);
}

TEST_F(ShortcutsTest, TheShortcutsOwnFolderGoesWhenEmptiedButNotItsParentsOrShellFolders) {
  Link("C:\\PROGRAM FILES\\OLD\\MENU\\gone.lnk", "C:\\OLD\\OLD.EXE");
  Link("C:\\KEEP\\gone.lnk", "C:\\OLD\\OLD.EXE");
  File("C:\\KEEP\\readme.txt");
  Link("C:\\WINDOWS\\DESKTOP\\gone.lnk", "C:\\OLD\\OLD.EXE");
  Link("C:\\WINDOWS\\RECENT\\gone.lnk", "C:\\OLD\\OLD.EXE");
  Link("C:\\WINDOWS\\START MENU\\PROGRAMS\\gone.lnk", "C:\\OLD\\OLD.EXE");
  Link("C:\\gone.lnk", "C:\\OLD\\OLD.EXE");

  ASSERT_TRUE(Search());
  ASSERT_EQ(table().linkCount, 6);
  EXPECT_TRUE(Remove());
  EXPECT_FALSE(Exists("C:\\PROGRAM FILES\\OLD\\MENU"));
  EXPECT_TRUE(Exists("C:\\PROGRAM FILES\\OLD"));
  EXPECT_FALSE(Exists("C:\\KEEP\\gone.lnk"));
  EXPECT_TRUE(Exists("C:\\KEEP\\readme.txt"));
  EXPECT_FALSE(Exists("C:\\gone.lnk"));
  // Windows needs these folders even when they hold nothing.
  for (const char* folder : {"C:\\WINDOWS\\DESKTOP", "C:\\WINDOWS\\RECENT",
                             "C:\\WINDOWS\\START MENU\\PROGRAMS", "C:\\WINDOWS\\START MENU"}) {
    EXPECT_TRUE(Exists(folder)) << folder;
  }
  EXPECT_FALSE(Exists("C:\\WINDOWS\\DESKTOP\\gone.lnk"));
}

TEST_F(ShortcutsTest, AShortcutThatCannotBeDeletedIsReportedAndTheRestStillGo) {
  Link("C:\\L\\a.lnk", "C:\\GONE\\A.EXE");
  Link("C:\\L\\b.lnk", "C:\\GONE\\B.EXE");
  Link("C:\\M\\c.lnk", "C:\\GONE\\C.EXE");
  ASSERT_TRUE(Search());
  machine().faults().FailSubject(Op::Remove, "C:\\L\\a.lnk", ERROR_ACCESS_DENIED);
  EXPECT_FALSE(Remove());
  EXPECT_TRUE(Exists("C:\\L\\a.lnk"));
  EXPECT_FALSE(Exists("C:\\L\\b.lnk"));
  EXPECT_TRUE(Exists("C:\\L"));
  EXPECT_FALSE(Exists("C:\\M"));
}

TEST_F(ShortcutsTest, AFolderThatCannotBeRemovedIsReported) {
  Link("C:\\L\\a.lnk", "C:\\GONE\\A.EXE");
  ASSERT_TRUE(Search());
  machine().faults().FailSubject(Op::RemoveDirectory, "C:\\L", ERROR_ACCESS_DENIED);
  EXPECT_FALSE(Remove());
  EXPECT_FALSE(Exists("C:\\L\\a.lnk"));
}

TEST_F(ShortcutsTest, AFolderThatCannotBeListedMakesTheSearchIncomplete) {
  Link("C:\\A\\a.lnk", "C:\\GONE\\A.EXE");
  Link("C:\\B\\b.lnk", "C:\\GONE\\B.EXE");
  machine().faults().FailSubject(Op::FindFirst, "C:\\A\\*.*", ERROR_ACCESS_DENIED);
  EXPECT_FALSE(Search());
  // The folder is read once for its shortcuts and its subfolders: what it holds is unseen.
  EXPECT_EQ(Recorded(), (std::vector<std::string>{"C:\\B\\b.lnk -> C:\\GONE\\B.EXE"}));
}

TEST_F(ShortcutsTest, ShortcutsBeyondTheTableAreCountedNotRecordedNorDeleted) {
  // 101 folders of 50 (the sandbox looks names up one folder at a time, so keep folders small):
  // M099\49.lnk is the 5000th shortcut met, M100\00.lnk and M100\01.lnk come after it.
  const std::string link = vu::platform::sandbox::BuildShellLink("C:\\GONE\\X.EXE");
  char path[40];
  for (int folder = 0; folder <= 100; ++folder) {
    std::snprintf(path, sizeof path, "C:\\M%03d", folder);
    Folder(path);
    for (int file = 0; file < (folder == 100 ? 2 : 50); ++file) {
      std::snprintf(path, sizeof path, "C:\\M%03d\\%02d.lnk", folder, file);
      ASSERT_EQ(files().WriteAll(path, link), ERROR_SUCCESS);
    }
  }
  EXPECT_FALSE(Search()) << "the search did not see every shortcut";
  EXPECT_EQ(table().linkCount, ShortcutTable::kCapacity + 2);
  EXPECT_EQ(table().linkFiles[ShortcutTable::kCapacity], "C:\\M099\\49.lnk");
  EXPECT_TRUE(Remove()) << "every deletion it attempted worked";
  EXPECT_FALSE(Exists("C:\\M099"));
  EXPECT_TRUE(Exists("C:\\M100\\00.lnk"));
  EXPECT_TRUE(Exists("C:\\M100\\01.lnk"));
}

TEST_F(ShortcutsTest, GetShortcutTargetGivesEmptyTextForWhatIsNotAReadableShortcut) {
  vu::platform::Shell& shell = machine().shell();
  EXPECT_EQ(GetShortcutTarget(shell, ""), "");
  EXPECT_EQ(GetShortcutTarget(shell, "C:\\missing.lnk"), "");
  Link("C:\\long.lnk", "C:\\" + std::string(256, 'x') + ".exe");
  EXPECT_EQ(GetShortcutTarget(shell, "C:\\long.lnk"), "");
  Link("C:\\fits.lnk", "C:\\" + std::string(255, 'x'));
  EXPECT_EQ(GetShortcutTarget(shell, "C:\\fits.lnk"), "C:\\" + std::string(255, 'x'));
}

TEST_F(ShortcutsTest, ShortcutsToShortNamesOfLiveFilesAreKept) {
  File("C:\\Program Files\\Long Application\\Application.exe");
  Link("C:\\WINDOWS\\DESKTOP\\Long Application.lnk", "C:\\PROGRA~1\\LONGAP~1\\APPLIC~1.EXE");
  Link("C:\\WINDOWS\\DESKTOP\\Old Application.lnk", "C:\\PROGRA~1\\OLDAPP~1\\APPLIC~1.EXE");
  EXPECT_TRUE(Search());
  EXPECT_TRUE(Remove());
  EXPECT_TRUE(Exists("C:\\WINDOWS\\DESKTOP\\Long Application.lnk"));
  EXPECT_FALSE(Exists("C:\\WINDOWS\\DESKTOP\\Old Application.lnk"));
  // A shortcut whose long name does not end in .lnk is still found by its alias's extension.
  Link("C:\\WINDOWS\\DESKTOP\\Odd.lnkx", "C:\\GONE\\X.EXE");
  EXPECT_TRUE(Search());
  EXPECT_EQ(Recorded().back(), "C:\\WINDOWS\\DESKTOP\\Odd.lnkx -> C:\\GONE\\X.EXE");
}

}  // namespace
}  // namespace vu::optimizer::testing
