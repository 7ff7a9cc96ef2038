// Whole installations played from start-up to Finish: what lands where, what is started, what is
// recorded and what is cleaned up.
#include <gtest/gtest.h>

#include "common/registry_mod.h"
#include "harness.h"
#include "installer/launch.h"

namespace vu::installer {
namespace {

using testing::InstallWorld;
using testing::RuntimeNames;

constexpr const char* kInstallDir = "C:\\Program Files\\Velloria Utilities\\Optimizer";
constexpr const char* kMenuLink =
    "C:\\WINDOWS\\START MENU\\PROGRAMS\\Velloria Utilities\\Optimizer.lnk";

// Custom path into |directory| with the menu box as given; Finish with "Run Optimizer" ticked.
std::string CustomScript(std::string directory, bool menu) {
  for (std::size_t at = directory.find('\\'); at != std::string::npos;
       at = directory.find('\\', at + 2)) {
    directory.insert(at, 1, '\\');
  }
  return "until frmMain.visible = \"True\"\n"
         "click frmMain.Command2\n"
         "click frmMain.Option2\n"
         "click frmMain.Command2\n"
         "browse \"" +
         directory +
         "\"\n"
         "click frmMain.Command4\n"
         "click frmMain.Command2\n" +
         (menu ? "" : "set frmMain.Check1 0\n") +
         "click frmMain.Command2\n"
         "until frmMain.caption = \"Complete\"\n"
         "expect frmMain.mainLabel.caption = \"Installation Successful\"\n"
         "expect frmMain.Check2.visible = \"True\"\n"
         "click frmMain.Command2\n";
}

std::size_t Count(const std::string& text, const std::string& part) {
  std::size_t count = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
    ++count;
  }
  return count;
}

TEST(Installation, ExpressPlacesRegistersLinksRecordsAndCleansUp) {
  InstallWorld world;
  world.LaySet();
  ASSERT_EQ(world.Play(kExpressScript), 0) << world.errors.str();
  auto& temp = world.temp;
  const std::string dir = kInstallDir;

  for (const char* name : {"\\Optimizer.exe", "\\Optimizer.hlp", "\\Optimizer.cnt"}) {
    EXPECT_EQ(temp.Read(dir + name), std::string("contents of ") + (name + 1));
  }
  EXPECT_EQ(temp.Read("C:\\WINDOWS\\VLUN32.exe"), "contents of Uninstall.exe");
  for (const std::string& name : RuntimeNames()) {
    EXPECT_EQ(temp.Read("C:\\WINDOWS\\SYSTEM\\" + name), "contents of " + name);
  }

  // Each copied run-time file is registered once, silently, in a minimized window; the
  // Optimizer is not started because the scenario cleared "Run Optimizer after exit".
  const std::string journal = temp.Journal();
  for (const std::string& name : RuntimeNames()) {
    EXPECT_EQ(Count(journal, "start 2 C:\\WINDOWS\\SYSTEM\\regsvr32.exe /s C:\\WINDOWS\\SYSTEM\\" +
                                 name + "\n"),
              1u)
        << journal;
  }
  EXPECT_EQ(Count(journal, "start "), 9u) << journal;

  std::string target;
  ASSERT_EQ(temp.machine().shell().ShortcutTarget(kMenuLink, target), ERROR_SUCCESS);
  EXPECT_EQ(target, dir + "\\Optimizer.exe");

  EXPECT_EQ(world.Record("ProgramfilePath"), dir);
  EXPECT_EQ(world.Record("UninstallString"), "C:\\WINDOWS\\VLUN32.exe -Velloria Optimizer");
  EXPECT_EQ(world.Record("DisplayName"), "Velloria Optimizer");
  EXPECT_EQ(world.Record("ShortName"), "Optimizer");
  EXPECT_EQ(world.Record("LongName"), "Velloria Optimizer");
  EXPECT_EQ(world.Record("StartmenuPath"), "C:\\WINDOWS\\START MENU\\PROGRAMS\\Velloria Utilities");
  const auto entry = common::EnumRegistryValue(temp.machine().registry(), HKEY_LOCAL_MACHINE,
                                               testing::kRecordKey, 0);
  EXPECT_EQ(entry.name, "ProgramfilePath");
  EXPECT_EQ(entry.type, static_cast<std::uint32_t>(REG_SZ));

  // The set's program, uninstaller and run-time files go; the installer and help files stay.
  for (const char* gone : {"Optimizer.exe", "Uninstall.exe", "MSVBVM50.DLL", "CTL3D32.DLL"}) {
    EXPECT_FALSE(temp.Exists(std::string("C:\\SETUP\\") + gone)) << gone;
  }
  for (const char* kept : {"Install.exe", "Optimizer.hlp", "Optimizer.cnt"}) {
    EXPECT_TRUE(temp.Exists(std::string("C:\\SETUP\\") + kept)) << kept;
  }

  EXPECT_EQ(world.Statuses(),
            (std::vector<std::string>{"Extracting system files...", "Extracting program files...",
                                      "Creating menu system...", "Finishing up..."}));
}

TEST(Installation, CustomOnAThreeLevelPathOfDriveDWithoutMenu) {
  InstallWorld world;
  world.temp.AddDrive('D');
  world.LaySet();
  ASSERT_EQ(world.Play(CustomScript("D:\\Apps\\Velloria\\Opt", false)), 0) << world.errors.str();
  auto& temp = world.temp;

  for (const char* folder : {"D:\\Apps", "D:\\Apps\\Velloria", "D:\\Apps\\Velloria\\Opt"}) {
    EXPECT_TRUE(temp.machine().files().Attributes(folder) & FILE_ATTRIBUTE_DIRECTORY) << folder;
  }
  EXPECT_EQ(temp.Read("D:\\Apps\\Velloria\\Opt\\Optimizer.exe"), "contents of Optimizer.exe");
  EXPECT_FALSE(temp.Exists("C:\\WINDOWS\\START MENU\\PROGRAMS\\Velloria Utilities"));

  EXPECT_EQ(world.Record("ProgramfilePath"), "D:\\Apps\\Velloria\\Opt");
  EXPECT_EQ(world.Record("StartmenuPath"), "(Not found)");
  const auto fifth = common::EnumRegistryValue(temp.machine().registry(), HKEY_LOCAL_MACHINE,
                                               testing::kRecordKey, 4);
  EXPECT_EQ(fifth.name, "LongName");
  // Without the menu no StartmenuPath follows: the list's own values come next.
  EXPECT_EQ(common::EnumRegistryValue(temp.machine().registry(), HKEY_LOCAL_MACHINE,
                                      testing::kRecordKey, 5)
                .name,
            "DisplayIcon");

  // No blank in the path: started as it is, in a normal window.
  EXPECT_NE(temp.Journal().find("start 1 D:\\Apps\\Velloria\\Opt\\Optimizer.exe\n"),
            std::string::npos)
      << temp.Journal();
  EXPECT_EQ(world.Statuses(),
            (std::vector<std::string>{"Extracting system files...", "Extracting program files...",
                                      "Finishing up..."}));
}

TEST(Installation, FinishStartsTheOptimizerQuotedAndDriveRootsDoubleTheBackslash) {
  {
    InstallWorld world;
    world.LaySet();
    ASSERT_EQ(world.Play(CustomScript(kInstallDir, true)), 0) << world.errors.str();
    EXPECT_NE(world.temp.Journal().find("start 1 \"C:\\Program Files\\Velloria "
                                        "Utilities\\Optimizer\\Optimizer.exe\"\n"),
              std::string::npos)
        << world.temp.Journal();
  }
  InstallWorld world;
  world.temp.AddDrive('D');
  world.LaySet();
  ASSERT_EQ(world.Play(CustomScript("D:\\", true)), 0) << world.errors.str();
  EXPECT_EQ(world.Record("ProgramfilePath"), "D:\\");
  EXPECT_EQ(world.temp.Read("D:\\Optimizer.exe"), "contents of Optimizer.exe");
  EXPECT_NE(world.temp.Journal().find("start 1 D:\\\\Optimizer.exe\n"), std::string::npos);
  std::string target;
  world.temp.machine().shell().ShortcutTarget(kMenuLink, target);
  EXPECT_EQ(target, "D:\\\\Optimizer.exe");
}

TEST(Installation, RuntimeFilesAlreadyPresentAreNeitherCopiedRegisteredNorRemoved) {
  InstallWorld world;
  world.LaySet();
  for (const std::string& name : RuntimeNames()) {
    world.temp.Write("C:\\WINDOWS\\SYSTEM\\" + name, "system's own " + name);
  }
  ASSERT_EQ(world.Play(kExpressScript), 0) << world.errors.str();
  EXPECT_EQ(world.temp.Journal().find("regsvr32"), std::string::npos) << world.temp.Journal();
  for (const std::string& name : RuntimeNames()) {
    EXPECT_EQ(world.temp.Read("C:\\WINDOWS\\SYSTEM\\" + name), "system's own " + name);
    EXPECT_TRUE(world.temp.Exists("C:\\SETUP\\" + name)) << name;
  }
}

TEST(Installation, AMissingProgramFileMakesTheInstallationIncomplete) {
  InstallWorld world;
  world.LaySet(true, {"Optimizer.exe", "Optimizer.hlp"});
  const int code = world.Play(
      "until frmMain.visible = \"True\"\n"
      "click frmMain.Command2\n"
      "click frmMain.Command2\n"
      "until frmMain.caption = \"Complete\"\n"
      "expect frmMain.mainLabel.caption = \"Installation Incomplete\"\n"
      "expect frmMain.secondLabel.caption = \"C:\\Program Files\\Velloria "
      "Utilities\\Optimizer\\Optimizer.exe\"\n"
      "expect frmMain.Check2.visible = \"False\"\n"
      "expect frmMain.Command2.caption = \"&Finish\"\n"
      "click frmMain.Command2\n");
  ASSERT_EQ(code, 0) << world.errors.str();
  // Nothing to start; the uninstaller was placed and its source went, the rest stayed.
  EXPECT_EQ(world.temp.Journal().find("start 1"), std::string::npos);
  EXPECT_TRUE(world.temp.Exists("C:\\WINDOWS\\VLUN32.exe"));
  EXPECT_FALSE(world.temp.Exists("C:\\SETUP\\Uninstall.exe"));
  EXPECT_TRUE(world.temp.Exists("C:\\Program Files\\Velloria Utilities\\Optimizer\\Optimizer.cnt"));

  // --express refuses to call that a success.
  InstallWorld again;
  again.LaySet(true, {"Uninstall.exe"});
  EXPECT_EQ(again.Play(kExpressScript), toolkit::kExitScriptFailed);
  EXPECT_NE(again.errors.str().find("Installation Incomplete"), std::string::npos);
  // The program's copy is in place, so its source goes; the run-time files' too.
  EXPECT_FALSE(again.temp.Exists("C:\\SETUP\\Optimizer.exe"));
  EXPECT_FALSE(again.temp.Exists("C:\\WINDOWS\\VLUN32.exe"));
}

TEST(Installation, ASecondInstallationReplacesFilesAndKeepsTheEarlierMenuPath) {
  InstallWorld world;
  world.LaySet();
  ASSERT_EQ(world.Play(kExpressScript), 0) << world.errors.str();

  // Second set, without help files: the earlier ones have no replacement and stay.
  world.LaySet(true, {"Optimizer.hlp", "Optimizer.cnt"}, "second");
  world.NewSession();
  ASSERT_EQ(world.Play(CustomScript(kInstallDir, false)), 0) << world.errors.str();
  auto& temp = world.temp;
  const std::string dir = kInstallDir;
  EXPECT_EQ(temp.Read(dir + "\\Optimizer.exe"), "second Optimizer.exe");
  EXPECT_EQ(temp.Read("C:\\WINDOWS\\VLUN32.exe"), "second Uninstall.exe");
  EXPECT_EQ(temp.Read(dir + "\\Optimizer.hlp"), "contents of Optimizer.hlp");
  EXPECT_EQ(world.Record("StartmenuPath"), "C:\\WINDOWS\\START MENU\\PROGRAMS\\Velloria Utilities");
  // The run-time files were there from the first time: not copied, registered or removed.
  EXPECT_EQ(Count(temp.Journal(), "regsvr32"), 9u);
  EXPECT_EQ(temp.Read("C:\\WINDOWS\\SYSTEM\\CTL3D32.DLL"), "contents of CTL3D32.DLL");
  EXPECT_TRUE(temp.Exists("C:\\SETUP\\CTL3D32.DLL"));
  EXPECT_FALSE(temp.Exists("C:\\SETUP\\Optimizer.exe"));
}

TEST(Installation, RunningFromTheInstallDirectoryKeepsTheOnlyCopy) {
  InstallWorld world;
  world.temp.machine().SetProgramFolder(kInstallDir);
  for (const char* name : {"Optimizer.exe", "Uninstall.exe", "Optimizer.hlp", "Optimizer.cnt"}) {
    world.temp.Write(std::string(kInstallDir) + "\\" + name, std::string("only ") + name);
  }
  ASSERT_EQ(world.Play(kExpressScript), 0) << world.errors.str();
  EXPECT_EQ(world.temp.Read(std::string(kInstallDir) + "\\Optimizer.exe"), "only Optimizer.exe");
  EXPECT_EQ(world.temp.Read(std::string(kInstallDir) + "\\Optimizer.hlp"), "only Optimizer.hlp");
  EXPECT_EQ(world.temp.Read("C:\\WINDOWS\\VLUN32.exe"), "only Uninstall.exe");
}

TEST(Installation, ExitSetupWhileInstallingLeavesWhatWasPlaced) {
  InstallWorld world;
  world.LaySet();
  const int code = world.Play(
      "until frmMain.visible = \"True\"\n"
      "click frmMain.Command2\n"
      "click frmMain.Command2\n"
      "until frmMain.statusLabel.caption = \"Extracting program files...\"\n"
      "click frmMain.Command1\n"
      "expect frmConfirm.visible = \"True\"\n"
      "click frmConfirm.Command1\n");
  ASSERT_EQ(code, 0) << world.errors.str();
  EXPECT_TRUE(world.temp.Exists(std::string(kInstallDir) + "\\Optimizer.exe"));
  EXPECT_EQ(world.Record("LongName"), "(Not found)");
  EXPECT_FALSE(world.temp.Exists(kMenuLink));
  EXPECT_TRUE(world.temp.Exists("C:\\SETUP\\Optimizer.exe"));
}

}  // namespace
}  // namespace vu::installer
