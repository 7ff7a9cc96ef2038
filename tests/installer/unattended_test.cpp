// Installing with no window: the switches and what an unattended installation leaves behind.
#include <sstream>

#include <gtest/gtest.h>

#include "common/registry_mod.h"
#include "harness.h"
#include "installer/unattended.h"

namespace vu::installer {
namespace {

using testing::InstallWorld;

TEST(InstallSwitchesTest, FolderIsLastAndKeepsItsBlanks) {
  InstallSwitches switches;
  std::string error;
  ASSERT_TRUE(
      ParseInstallSwitches("/S /NOMENU /D=C:\\Apps\\Velloria  Optimizer\\", switches, error))
      << error;
  EXPECT_TRUE(switches.silent);
  EXPECT_TRUE(switches.noMenu);
  EXPECT_EQ(switches.folder, "C:\\Apps\\Velloria  Optimizer");

  ASSERT_TRUE(ParseInstallSwitches("--express /s /d=D:\\", switches, error)) << error;
  EXPECT_TRUE(switches.silent);
  EXPECT_FALSE(switches.noMenu);
  EXPECT_EQ(switches.folder, "D:\\");

  // As Windows passes an argument with blanks: in double quotes.
  ASSERT_TRUE(ParseInstallSwitches("/S \"/D=C:\\Apps\\Velloria Optimizer\"", switches, error))
      << error;
  EXPECT_EQ(switches.folder, "C:\\Apps\\Velloria Optimizer");
  ASSERT_TRUE(ParseInstallSwitches("/S /D=\"C:\\Apps\\Velloria Optimizer\"", switches, error))
      << error;
  EXPECT_EQ(switches.folder, "C:\\Apps\\Velloria Optimizer");

  // The report's file, with blanks in double quotes as Windows passes them, before /D=.
  ASSERT_TRUE(ParseInstallSwitches("/S \"/LOG=C:\\My Logs\\i.log\" /d=C:\\A B", switches, error))
      << error;
  EXPECT_EQ(switches.log, "C:\\My Logs\\i.log");
  EXPECT_EQ(switches.folder, "C:\\A B");
  ASSERT_TRUE(ParseInstallSwitches("/log=\"C:\\My Logs\\i.log\" /S", switches, error)) << error;
  EXPECT_EQ(switches.log, "C:\\My Logs\\i.log");

  for (const char* bad :
       {"/S /X", "/S /D=Apps", "/S /D=", "/S /D=\\\\server\\share", "/S /LOG=", "/S /LOGFILE"}) {
    EXPECT_FALSE(ParseInstallSwitches(bad, switches, error)) << bad;
    EXPECT_FALSE(error.empty());
  }
  EXPECT_TRUE(IsUnattended("--express /S"));
  EXPECT_FALSE(IsUnattended("--express"));
  EXPECT_FALSE(IsUnattended("/D=C:\\My /S folder"));  // the folder's words are not switches
}

TEST(UnattendedInstallTest, InstallsIntoTheFolderWithoutMenuAndRecordsTheQuietCommand) {
  InstallWorld world;
  world.LaySet();
  std::ostringstream errors;
  const InstallSwitches switches{
      .silent = true, .noMenu = true, .folder = "C:\\Apps\\Velloria Optimizer", .log = ""};
  EXPECT_EQ(InstallUnattended(world.app(), switches, errors), kInstalled) << errors.str();
  EXPECT_EQ(errors.str(), "");
  EXPECT_EQ(world.temp.Read("C:\\Apps\\Velloria Optimizer\\Optimizer.exe"),
            "contents of Optimizer.exe");
  EXPECT_FALSE(world.temp.Exists("C:\\WINDOWS\\START MENU\\PROGRAMS\\Velloria Utilities"));
  EXPECT_FALSE(world.temp.Exists("C:\\SETUP\\Optimizer.exe"));
  EXPECT_EQ(world.Record("ProgramfilePath"), "C:\\Apps\\Velloria Optimizer");
  EXPECT_EQ(world.Record("StartmenuPath"), "(Not found)");
  EXPECT_EQ(world.Record("QuietUninstallString"), "C:\\WINDOWS\\VLUN32.exe /S -Velloria Optimizer");
  EXPECT_EQ(world.Record("InstallLocation"), "C:\\Apps\\Velloria Optimizer");
  EXPECT_EQ(world.Record("DisplayIcon"), "C:\\Apps\\Velloria Optimizer\\Optimizer.exe");
  EXPECT_EQ(world.Record("NoModify"), "001");
  // Three small files: one KB, rounded up.
  EXPECT_EQ(world.Record("EstimatedSize"), "001");
}

TEST(UnattendedInstallTest, AFileNotPlacedIsNamedAndTheStatusIsOne) {
  InstallWorld world;
  world.LaySet(true, {"Optimizer.exe"});
  std::ostringstream errors;
  EXPECT_EQ(InstallUnattended(
                world.app(),
                InstallSwitches{.silent = true, .noMenu = false, .folder = "", .log = ""}, errors),
            kInstallIncomplete);
  EXPECT_NE(errors.str().find("C:\\Program Files\\Velloria Utilities\\Optimizer\\Optimizer.exe"),
            std::string::npos)
      << errors.str();
  // No shortcut to a program that is not there.
  EXPECT_FALSE(
      world.temp.Exists("C:\\WINDOWS\\START MENU\\PROGRAMS\\Velloria Utilities\\Optimizer.lnk"));
}

TEST(UnattendedInstallTest, TheReportGoesToTheNamedLogOrElseIsAddedToTheDefaultOne) {
  InstallWorld world;
  world.LaySet(true, {"Optimizer.exe"});
  world.temp.machine().SetCommandLine("/S \"/LOG=C:\\My Logs\\install.log\"");
  ASSERT_EQ(world.temp.machine().files().MakeDirectory("C:\\My Logs"), ERROR_SUCCESS);
  EXPECT_EQ(RunUnattendedIfAsked(world.app()), kInstallIncomplete);
  const std::string log = world.temp.Read("C:\\My Logs\\install.log");
  EXPECT_NE(log.find("C:\\Program Files\\Velloria Utilities\\Optimizer\\Optimizer.exe"),
            std::string::npos)
      << log;
  EXPECT_NE(log.find("exit status 1"), std::string::npos) << log;
  EXPECT_FALSE(world.temp.Exists("C:\\WINDOWS\\TEMP\\Velloria Install.log"));

  // No log named: a bad command line is added to the end of the default log, kept from before.
  world.temp.machine().SetCommandLine("/S /Q");
  EXPECT_EQ(RunUnattendedIfAsked(world.app()), kInstallBadCommandLine);
  world.temp.machine().SetCommandLine("/S /R");
  EXPECT_EQ(RunUnattendedIfAsked(world.app()), kInstallBadCommandLine);
  const std::string kept = world.temp.Read("C:\\WINDOWS\\TEMP\\Velloria Install.log");
  EXPECT_NE(kept.find("unknown switch /Q"), std::string::npos) << kept;
  EXPECT_NE(kept.find("unknown switch /R"), std::string::npos) << kept;
}

}  // namespace
}  // namespace vu::installer
