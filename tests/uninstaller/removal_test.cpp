// The removal stages on sandbox machines: what goes, what stays, the record, and the completion
// text, which never claims more than was done.
#include <gtest/gtest.h>

#include <string>

#include "harness.h"
#include "platform/fault_plan.h"
#include "platform/status.h"

namespace vu::uninstaller::testing {
namespace {

const std::string kDir = kProgramDir;
const std::string kGroupLink = std::string(kMenuFolder) + "\\Optimizer.lnk";

class RemovalTest : public ::testing::Test {
 protected:
  void SetUp() override { temp.InstallDefault(); }

  std::string Completion() { return world.start().completedLabel.caption(); }
  void ExpectFinished() {
    FrmStart& form = world.start();
    EXPECT_FALSE(form.progressBar.visible());
    EXPECT_TRUE(form.completedLabel.visible());
    EXPECT_TRUE(form.closeButton.enabled());
    EXPECT_EQ(form.focused(), &form.closeButton);
    for (toolkit::Control* tick :
         {&form.programPic, &form.sharedPic, &form.registryPic, &form.startPic})
      EXPECT_TRUE(tick->visible()) << tick->name();
    for (toolkit::Control* label :
         {&form.programLabel, &form.sharedLabel, &form.registryLabel, &form.startLabel})
      EXPECT_FALSE(label->bold()) << label->name();
  }

  TempMachine temp;
  UninstallWorld world{temp};
};

TEST_F(RemovalTest, DefaultInstallationGoesCompletelyButTheUninstallerStays) {
  temp.MakeFile(kDir + "\\Optimizer.GID");  // the help viewer's index, made after installation
  world.StartAndConfirm();
  ExpectFinished();
  EXPECT_EQ(Completion(), "Uninstallation successful. Click '&Close' to end.");
  EXPECT_FALSE(temp.Exists(kDir));
  EXPECT_FALSE(temp.Exists(kProductParent));
  EXPECT_FALSE(temp.Exists(kMenuFolder));
  EXPECT_FALSE(temp.KeyExists(kRecordKey));
  EXPECT_TRUE(temp.Exists(kUninstaller));
  EXPECT_TRUE(temp.Exists("C:\\Program Files"));
  EXPECT_TRUE(temp.Exists("C:\\WINDOWS\\START MENU\\PROGRAMS"));
  EXPECT_EQ(world.EndCode([&] { world.start().closeButton.UserClick(); }), 0);
}

TEST_F(RemovalTest, OnlyTheProductsOwnFilesAreDeleted) {
  temp.MakeFile(kDir + "\\My notes.txt");
  temp.MakeFile(kDir + "\\Optimizer.fts");
  temp.MakeFile(kDir + "\\Optimizer.ftg");
  world.StartAndConfirm();
  ExpectFinished();
  EXPECT_TRUE(temp.Exists(kDir + "\\My notes.txt"));
  for (const char* ext : {".exe", ".hlp", ".cnt", ".fts", ".ftg"})
    EXPECT_FALSE(temp.Exists(kDir + "\\Optimizer" + ext)) << ext;
  EXPECT_TRUE(temp.Exists(kProductParent));
  // The program is gone, so the record goes; the folder kept for the user's file is named.
  EXPECT_FALSE(temp.KeyExists(kRecordKey));
  EXPECT_EQ(Completion(),
            "Uninstallation incomplete. Not removed: " + kDir + ". Click '&Close' to end.");
}

TEST_F(RemovalTest, ASubfolderKeepsTheFolderAndItsParent) {
  temp.MakeFolder(kDir + "\\Backup");
  world.StartAndConfirm();
  EXPECT_TRUE(temp.Exists(kDir + "\\Backup"));
  EXPECT_FALSE(temp.Exists(kDir + "\\Optimizer.exe"));
  EXPECT_TRUE(temp.Exists(kProductParent));
  EXPECT_FALSE(temp.Exists(kMenuFolder));
  EXPECT_FALSE(temp.KeyExists(kRecordKey));
}

TEST_F(RemovalTest, AnotherProductsFolderKeepsTheParent) {
  temp.MakeFile(std::string(kProductParent) + "\\Defrag\\Defrag.exe");
  world.StartAndConfirm();
  EXPECT_EQ(Completion(), "Uninstallation successful. Click '&Close' to end.");
  EXPECT_FALSE(temp.Exists(kDir));
  EXPECT_TRUE(temp.Exists(std::string(kProductParent) + "\\Defrag\\Defrag.exe"));
}

TEST_F(RemovalTest, TheHelpIndexGoesEvenWhenItIsTheOnlyFileLeft) {
  for (const char* name : {"\\Optimizer.exe", "\\Optimizer.hlp", "\\Optimizer.cnt"})
    ASSERT_EQ(temp.machine().files().Remove(kDir + name), ERROR_SUCCESS);
  temp.MakeFile(kDir + "\\OPTIMIZER.GID");
  world.StartAndConfirm();
  EXPECT_FALSE(temp.Exists(kDir));
  EXPECT_FALSE(temp.Exists(kProductParent));
}

TEST_F(RemovalTest, WithoutAMenuFolderOnlyTheGroupShortcutGoes) {
  temp.DeleteValue(kRecordKey, "StartmenuPath");
  // A folder that happens to carry the not-found text must not be taken for the menu folder.
  temp.MakeFolder("C:\\WINDOWS\\(Not found)");
  world.StartAndConfirm();
  EXPECT_FALSE(temp.Exists(kGroupLink));
  EXPECT_FALSE(temp.Exists(kMenuFolder));
  EXPECT_TRUE(temp.Exists("C:\\WINDOWS\\(Not found)"));
  EXPECT_EQ(Completion(), "Uninstallation successful. Click '&Close' to end.");
  EXPECT_FALSE(temp.KeyExists(kRecordKey));
}

TEST_F(RemovalTest, AMenuFolderOfItsOwnLosesTheShortcutsAndGoesWhenEmpty) {
  const std::string menu = "C:\\WINDOWS\\START MENU\\PROGRAMS\\Tools";
  temp.SetValue(kRecordKey, "StartmenuPath", menu);
  temp.MakeFile(menu + "\\Optimizer.lnk");
  temp.MakeFile(menu + "\\Uninstall Optimizer.lnk");
  world.StartAndConfirm();
  EXPECT_FALSE(temp.Exists(menu));
  EXPECT_FALSE(temp.Exists(kMenuFolder));
}

TEST_F(RemovalTest, AFileThatCannotBeDeletedIsReportedAndTheRecordKept) {
  // Not a file in use, which goes at the next restart: one that cannot go at all.
  temp.machine().faults().FailSubject(platform::Op::Remove, kDir + "\\Optimizer.exe",
                                      ERROR_WRITE_PROTECT);
  world.StartAndConfirm();
  ExpectFinished();
  EXPECT_TRUE(temp.Exists(kDir + "\\Optimizer.exe"));
  EXPECT_FALSE(temp.Exists(kDir + "\\Optimizer.hlp"));
  EXPECT_TRUE(temp.KeyExists(kRecordKey));
  EXPECT_EQ(Completion(), "Uninstallation incomplete. Not removed: " + kDir + "\\Optimizer.exe, " +
                              kDir + ". Click '&Close' to end.");

  // Once the file is free, running the uninstaller again finishes the job.
  temp.machine().faults().Clear();
  UninstallWorld again(temp);
  again.StartAndConfirm();
  EXPECT_EQ(again.start().completedLabel.caption(),
            "Uninstallation successful. Click '&Close' to end.");
  EXPECT_FALSE(temp.Exists(kProductParent));
  EXPECT_FALSE(temp.KeyExists(kRecordKey));
}

TEST_F(RemovalTest, AShortcutThatCannotBeRemovedIsReported) {
  temp.machine().faults().FailSubject(platform::Op::RemoveMenuShortcut, "Optimizer",
                                      ERROR_ACCESS_DENIED);
  temp.machine().faults().FailSubject(platform::Op::Remove, kGroupLink, ERROR_ACCESS_DENIED);
  world.StartAndConfirm();
  EXPECT_TRUE(temp.Exists(kGroupLink));
  const std::string text = Completion();
  EXPECT_EQ(text.rfind("Uninstallation incomplete. Not removed: ", 0), 0u) << text;
  EXPECT_NE(text.find("Velloria Utilities\\Optimizer.lnk"), std::string::npos) << text;
  // Named once, though the recorded menu folder and the group are the same folder.
  EXPECT_EQ(text.find("Optimizer.lnk"), text.rfind("Optimizer.lnk")) << text;
  EXPECT_FALSE(temp.KeyExists(kRecordKey));
}

TEST_F(RemovalTest, TheRecordGoneIsTheOneTheArgumentNamed) {
  const std::string other = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Other";
  temp.SetValue(other, "DisplayName", "Other");
  temp.SetValue(kRecordKey, "LongName", "Other");
  world.StartAndConfirm();
  EXPECT_FALSE(temp.KeyExists(kRecordKey));
  EXPECT_TRUE(temp.KeyExists(other));
}

TEST(RemovalRecordTest, AShortNameIsNeverAPath) {
  TempMachine temp;
  temp.InstallDefault();
  temp.SetValue(kRecordKey, "ProgramfilePath", "C:\\WINDOWS\\SYSTEM");
  temp.SetValue(kRecordKey, "ShortName", "..\\VLUN32");
  temp.MakeFile("C:\\WINDOWS\\SYSTEM\\KERNEL32.DLL");
  UninstallWorld world(temp);
  world.StartAndConfirm();
  EXPECT_TRUE(temp.Exists(kUninstaller));
  EXPECT_TRUE(temp.Exists("C:\\WINDOWS\\SYSTEM"));
  EXPECT_TRUE(temp.KeyExists(kRecordKey)) << "the program folder is still there";
}

TEST(RemovalRecordTest, WithoutAShortNameNothingIsDeletedAndTheRecordStays) {
  TempMachine temp;
  temp.InstallDefault();
  temp.DeleteValue(kRecordKey, "ShortName");
  UninstallWorld world(temp);
  ASSERT_EQ(world.Start(), -1);
  EXPECT_EQ(world.confirm().label1.caption(), "Uninstall (Not found)");
  EXPECT_EQ(world.start().label1.caption(), "Removing all traces of (Not found)");
  ASSERT_TRUE(world.confirm().yesButton.UserClick());
  EXPECT_TRUE(temp.Exists(kDir + "\\Optimizer.exe"));
  EXPECT_TRUE(temp.KeyExists(kRecordKey));
  EXPECT_EQ(world.start().completedLabel.caption(),
            "Uninstallation incomplete. Not removed: " + kDir + ". Click '&Close' to end.");
}

TEST(RemovalRecordTest, WithoutAProgramFolderTheRecordStillGoes) {
  TempMachine temp;
  temp.InstallDefault();
  temp.DeleteValue(kRecordKey, "ProgramfilePath");
  UninstallWorld world(temp);
  world.StartAndConfirm();
  EXPECT_TRUE(temp.Exists(kDir + "\\Optimizer.exe"));
  EXPECT_FALSE(temp.Exists(kMenuFolder));
  EXPECT_FALSE(temp.KeyExists(kRecordKey));
}

}  // namespace
}  // namespace vu::uninstaller::testing
