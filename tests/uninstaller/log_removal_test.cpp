// Removal by the installation log, and what no record or log can make the uninstaller remove.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "common/install_log.h"
#include "harness.h"
#include "platform/fault_plan.h"
#include "platform/status.h"
#include "uninstaller/launch.h"
#include "uninstaller/protected_folders.h"

namespace vu::uninstaller::testing {
namespace {

const std::string kDir = kProgramDir;
const std::string kLink = std::string(kMenuFolder) + "\\Optimizer.lnk";
const std::string kIncomplete = "Uninstallation incomplete. Not removed: ";
const std::string kEnd = ". Click '&Close' to end.";
const std::string kSuccess = "Uninstallation successful. Click '&Close' to end.";

class LogRemovalTest : public ::testing::Test {
 protected:
  // The default installation, logged as the installer logs it; |parentMade| says whether the
  // installer made the products' folder above the program folder.
  void Install(bool parentMade = true) { temp.InstallLogged(parentMade); }
  std::string Completion() { return world.start().completedLabel.caption(); }

  TempMachine temp;
  UninstallWorld world{temp};
};

TEST_F(LogRemovalTest, WhatTheLogListsGoesWithTheHelpViewersFiles) {
  Install();
  temp.MakeFile(kDir + "\\Optimizer.GID");
  world.StartAndConfirm();
  EXPECT_EQ(Completion(), kSuccess);
  EXPECT_FALSE(temp.Exists(kProductParent));
  EXPECT_FALSE(temp.Exists(kMenuFolder));
  EXPECT_FALSE(temp.KeyExists(kRecordKey));
  EXPECT_FALSE(temp.KeyExists(std::string(kRecordKey) + "\\InstallLog"));
  EXPECT_TRUE(temp.Exists(kUninstaller));
}

TEST_F(LogRemovalTest, AFileChangedSinceStaysAndIsNamedButTheRecordGoes) {
  Install();
  ASSERT_EQ(temp.machine().files().WriteAll(kDir + "\\Optimizer.cnt", "my own contents"),
            ERROR_SUCCESS);
  world.StartAndConfirm();
  EXPECT_TRUE(temp.Exists(kDir + "\\Optimizer.cnt"));
  EXPECT_FALSE(temp.Exists(kDir + "\\Optimizer.exe"));
  // The folders that hold it stay too, and are named.
  EXPECT_EQ(Completion(),
            kIncomplete + kDir + "\\Optimizer.cnt, " + kDir + ", " + kProductParent + kEnd);
  EXPECT_FALSE(temp.KeyExists(kRecordKey));
}

TEST_F(LogRemovalTest, AReadOnlyLoggedFileIsDeleted) {
  Install();
  ASSERT_EQ(temp.machine().files().SetAttributes(kDir + "\\Optimizer.hlp", FILE_ATTRIBUTE_READONLY),
            ERROR_SUCCESS);
  world.StartAndConfirm();
  EXPECT_EQ(Completion(), kSuccess);
  EXPECT_FALSE(temp.Exists(kDir));
}

TEST_F(LogRemovalTest, AFolderTheInstallerFoundStaysEvenWhenEmpty) {
  Install(false);
  world.StartAndConfirm();
  EXPECT_EQ(Completion(), kSuccess);
  EXPECT_FALSE(temp.Exists(kDir));
  EXPECT_TRUE(temp.Exists(kProductParent));
}

TEST_F(LogRemovalTest, UnattendedRemovalSaysByItsStatusWhatIsLeft) {
  Install();
  // Not a file in use (that one goes at the next restart): one that cannot go at all.
  temp.machine().faults().FailSubject(platform::Op::Remove, kDir + "\\Optimizer.exe",
                                      ERROR_WRITE_PROTECT);
  std::ostringstream errors;
  EXPECT_EQ(world.app.RunUnattended(errors), kRemoveIncomplete);
  EXPECT_NE(errors.str().find(kDir + "\\Optimizer.exe"), std::string::npos) << errors.str();
  EXPECT_TRUE(temp.KeyExists(kRecordKey));

  temp.machine().faults().Clear();
  UninstallWorld again(temp);
  std::ostringstream none;
  EXPECT_EQ(again.app.RunUnattended(none), kRemoved);
  EXPECT_EQ(none.str(), "");
  EXPECT_FALSE(temp.Exists(kProductParent));
  EXPECT_FALSE(temp.KeyExists(kRecordKey));

  UninstallWorld unknown(temp, "-Velloria Optimizer");
  EXPECT_EQ(unknown.app.RunUnattended(none), kUnknownProduct);
}

TEST(ForgedRecordTest, AFileOfTheWindowsFolderIsNamedNotDeleted) {
  TempMachine temp;
  temp.MakeFile("C:\\WINDOWS\\REGEDIT.exe");
  temp.SetValue(kRecordKey, "ProgramfilePath", "C:\\WINDOWS");
  temp.SetValue(kRecordKey, "ShortName", "REGEDIT");
  temp.SetValue(kRecordKey, "LongName", "Velloria Optimizer");
  temp.SetValue(kRecordKey, "StartmenuPath", "C:\\WINDOWS");
  UninstallWorld world(temp);
  world.StartAndConfirm();
  EXPECT_TRUE(temp.Exists("C:\\WINDOWS\\REGEDIT.exe"));
  EXPECT_EQ(world.start().completedLabel.caption(),
            kIncomplete + "C:\\WINDOWS\\REGEDIT.exe" + kEnd);
  EXPECT_TRUE(temp.KeyExists(kRecordKey));
}

TEST(ForgedRecordTest, SpecialFoldersPickedAtInstallSurviveEmpty) {
  TempMachine temp;
  temp.MakeFolder("C:\\MY DOCUMENTS");
  temp.SetValue(kRecordKey, "ProgramfilePath", "c:\\my documents\\");
  temp.SetValue(kRecordKey, "ShortName", "Optimizer");
  temp.SetValue(kRecordKey, "LongName", "Velloria Optimizer");
  temp.SetValue(kRecordKey, "StartmenuPath", "C:\\WINDOWS\\START MENU\\PROGRAMS");
  UninstallWorld world(temp);
  world.StartAndConfirm();
  EXPECT_TRUE(temp.Exists("C:\\MY DOCUMENTS"));
  EXPECT_TRUE(temp.Exists("C:\\WINDOWS\\START MENU\\PROGRAMS"));
  EXPECT_EQ(world.start().completedLabel.caption(), kSuccess);
}

TEST(ProtectedFoldersTest, SpecialFoldersTheirParentsAndDrivesButNotTheirChildren) {
  TempMachine temp;
  const ProtectedFolders folders(temp.machine());
  for (const char* kept :
       {"C:\\", "C:", "D:\\", "", "C:\\WINDOWS", "c:/windows/", "C:\\PROGRAM FILES",
        "C:\\Program Files\\Common Files", "C:\\WINDOWS\\START MENU",
        "C:\\Windows\\Start Menu\\Programs", "C:\\WINDOWS\\SYSTEM"}) {
    EXPECT_TRUE(folders.IsProtected(kept)) << kept;
  }
  for (const char* free : {"C:\\Program Files\\Velloria Utilities", "C:\\Apps",
                           "C:\\WINDOWS\\START MENU\\PROGRAMS\\Velloria Utilities"}) {
    EXPECT_FALSE(folders.IsProtected(free)) << free;
  }
  EXPECT_TRUE(folders.IsInSystemFolder("C:\\WINDOWS\\NOTEPAD.EXE"));
  EXPECT_TRUE(folders.IsInSystemFolder("c:\\windows\\system\\x.dll"));
  EXPECT_FALSE(folders.IsInSystemFolder("C:\\WINDOWS\\HELP\\x.hlp"));
  EXPECT_FALSE(folders.IsInSystemFolder("C:\\Apps\\NOTEPAD.EXE"));
}

}  // namespace
}  // namespace vu::uninstaller::testing
