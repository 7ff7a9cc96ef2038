// Start-up, the three forms, the progress animation and the command line.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "harness.h"
#include "tests/test_paths.h"
#include "uninstaller/frm_err_message.h"
#include "uninstaller/launch.h"
#include "uninstaller/removal.h"

namespace vu::uninstaller::testing {
namespace {

constexpr const char* kCloseFatal = "click frmErrMessage.Command1\n";

TEST(StartupTest, TheFormsCarryTheProductsNames) {
  TempMachine temp;
  temp.InstallDefault();
  UninstallWorld world(temp);
  ASSERT_EQ(world.Start(), -1);
  FrmConfirm& confirm = world.confirm();
  EXPECT_EQ(world.app.productKey(), "Velloria Optimizer");
  EXPECT_TRUE(confirm.visible());
  EXPECT_EQ(confirm.caption(), "Velloria UnInstaller");
  EXPECT_EQ(confirm.label1.caption(), "Uninstall Optimizer");
  EXPECT_EQ(confirm.label3.caption(), "You are about to uninstall Velloria\u2122 Optimizer");
  EXPECT_EQ(confirm.Find("Label2")->caption(), "Do you wish to continue with uninstall?");

  FrmStart& start = world.start();
  EXPECT_FALSE(start.visible()) << "loaded, not shown";
  EXPECT_EQ(start.caption(), "Uninstalling Velloria Optimizer");
  EXPECT_EQ(start.label1.caption(), "Removing all traces of Optimizer");
  EXPECT_EQ(start.label6.caption(),
            "Uninstaller is erasing all files and directories that only Velloria\u2122 Optimizer "
            "use.");
  EXPECT_TRUE(start.programLabel.bold());
  for (toolkit::Control* label : {&start.sharedLabel, &start.registryLabel, &start.startLabel})
    EXPECT_FALSE(label->bold()) << label->name();
  for (toolkit::Control* tick :
       {&start.programPic, &start.sharedPic, &start.registryPic, &start.startPic})
    EXPECT_FALSE(tick->visible()) << tick->name();
  EXPECT_EQ(start.progressBar.value(), 0);
  EXPECT_FALSE(start.completedLabel.visible());
  EXPECT_EQ(start.completedLabel.caption(), "Uninstallation successful. Click '&Close' to end.");
  EXPECT_FALSE(start.closeButton.enabled());
  EXPECT_EQ(start.closeButton.caption(), "&Close");
  EXPECT_EQ(start.titlePicture.picture(), "uninstall_small");
  EXPECT_EQ(confirm.picture1.picture(), "dialog_small");
}

TEST(StartupTest, DisplayNameMarksOnlyTheBrand) {
  EXPECT_EQ(DisplayNameOf("Velloria Optimizer"), "Velloria\u2122 Optimizer");
  EXPECT_EQ(DisplayNameOf("Velloria"), "Velloria\u2122");
  EXPECT_EQ(DisplayNameOf("velloria Optimizer"), "velloria Optimizer");
  EXPECT_EQ(DisplayNameOf("Disk Tools"), "Disk Tools");
  EXPECT_EQ(DisplayNameOf("(Not found)"), "(Not found)");
}

TEST(StartupTest, NoDoesNothing) {
  TempMachine temp;
  temp.InstallDefault();
  UninstallWorld world(temp);
  EXPECT_EQ(world.Play("click frmConfirm.Command2\n"), 0) << world.errors.str();
  EXPECT_TRUE(temp.Exists(std::string(kProgramDir) + "\\Optimizer.exe"));
  EXPECT_TRUE(temp.KeyExists(kRecordKey));
}

TEST(StartupTest, LargeFontScreensGetTheLargePictures) {
  TempMachine temp(120);
  temp.InstallDefault();
  UninstallWorld world(temp);
  ASSERT_EQ(world.Start(), -1);
  toolkit::Control& picture = world.confirm().picture1;
  EXPECT_EQ(picture.picture(), "dialog_large");
  EXPECT_EQ(picture.left(), 70);
  EXPECT_EQ(picture.top(), 50);
  toolkit::Control& title = world.start().titlePicture;
  EXPECT_EQ(title.picture(), "uninstall_large");
  EXPECT_EQ(title.left(), 100);
  EXPECT_EQ(title.top(), 30);
}

// The argument names no product: the fatal-error dialog, nothing else, nothing removed.
struct FatalCase {
  const char* name;
  const char* argument;
};

class FatalTest : public ::testing::TestWithParam<FatalCase> {};

TEST_P(FatalTest, ShowsTheFatalErrorAndRemovesNothing) {
  TempMachine temp(120);
  temp.InstallDefault();
  UninstallWorld world(temp, GetParam().argument);
  EXPECT_EQ(world.Play(std::string("expect frmErrMessage.caption = \"Fatal Error\"\n") +
                       "expect frmErrMessage.Label1.caption = \"Error in uninstall\"\n" +
                       "expect frmErrMessage.Label2.caption = \"Uninstall cannot find the "
                       "requested application. Terminating.\"\n" +
                       kCloseFatal),
            0)
      << world.errors.str();
  EXPECT_EQ(world.program.FindForm("frmConfirm"), nullptr);
  auto* dialog = static_cast<FrmErrMessage*>(world.program.FindForm("frmErrMessage"));
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(dialog->picture1.picture(), "dialog_large");
  EXPECT_TRUE(temp.Exists(std::string(kProgramDir) + "\\Optimizer.exe"));
  EXPECT_TRUE(temp.KeyExists(kRecordKey));
}

INSTANTIATE_TEST_SUITE_P(Arguments, FatalTest,
                         ::testing::Values(FatalCase{"NoArgument", ""},
                                           FatalCase{"WithoutTheDash", "Velloria Optimizer"},
                                           FatalCase{"DashOnly", "-"},
                                           FatalCase{"UnknownProduct", "-Disk Tools"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(StartupTest, AnyFirstCharacterIsDropped) {
  TempMachine temp;
  temp.InstallDefault();
  UninstallWorld world(temp, "\u00e9Velloria Optimizer");
  ASSERT_EQ(world.Start(), -1);
  EXPECT_EQ(world.app.productKey(), "Velloria Optimizer");
}

TEST(ProgressTest, PausesRunFromOneTo51MillisecondsRoundedHalfToEven) {
  EXPECT_EQ(ProgressPauseMs(0.0f), 51);
  EXPECT_EQ(ProgressPauseMs(0.5f), 1);
  EXPECT_EQ(ProgressPauseMs(0.125f), 38);  // 38.5
  EXPECT_EQ(ProgressPauseMs(0.625f), 14);  // 13.5
  EXPECT_EQ(ProgressPauseMs(0.99999994f), 51);
}

TEST(ProgressTest, EachStageFillsTheBarTo100In25Steps) {
  TempMachine temp;
  temp.InstallDefault();
  UninstallWorld world(temp);
  world.StartAndConfirm();
  std::vector<double> stage;
  for (int step = 1; step <= 25; ++step)
    stage.push_back(step * 4);
  std::vector<double> expected;
  for (int i = 0; i < 4; ++i) {
    if (i > 0) expected.push_back(0);
    expected.insert(expected.end(), stage.begin(), stage.end());
  }
  EXPECT_EQ(world.host.barValues, expected);
  // 100 pauses of 1 to 51 ms and one yield each, plus the fixed 200 and 500 ms pauses.
  EXPECT_GE(world.host.NowMs(), 100 * 2 + 700);
  EXPECT_LE(world.host.NowMs(), 100 * 52 + 700 + 10);
}

TEST(ProgressTest, TheSamePausesOnEveryRun) {
  std::int64_t durations[2] = {};
  for (std::int64_t& duration : durations) {
    TempMachine temp;
    temp.InstallDefault();
    UninstallWorld world(temp);
    world.StartAndConfirm();
    duration = world.host.NowMs();
  }
  EXPECT_EQ(durations[0], durations[1]);
}

TEST(ProgressTest, TheFrameClosesTheFormOnlyWhenRemovalIsDone) {
  TempMachine temp;
  temp.InstallDefault();
  UninstallWorld world(temp);
  ASSERT_EQ(world.Start(), -1);
  EXPECT_EQ(world.EndCode([&] { world.start().onClose(); }), -1);
  ASSERT_TRUE(world.confirm().yesButton.UserClick());
  EXPECT_EQ(world.EndCode([&] { world.start().onClose(); }), 0);
}

TEST(CommandLineTest, AutomationOptionsComeOffTheFrontOnly) {
  struct Case {
    const char* line;
    const char* script;
    bool yes, silent;
    const char* argument;
  } cases[] = {
      {"-Velloria Optimizer", "", false, false, "-Velloria Optimizer"},
      {"--script run.txt -Velloria Optimizer", "run.txt", false, false, "-Velloria Optimizer"},
      {"--script \"C:\\my tests\\run.txt\" --yes -Velloria  Optimizer ", "C:\\my tests\\run.txt",
       true, false, "-Velloria  Optimizer "},
      {"--yes", "", true, false, ""},
      {"--script", "", false, false, "--script"},
      {"", "", false, false, ""},
      // /S comes before the argument, which keeps its blanks.
      {"/S -Velloria Optimizer", "", false, true, "-Velloria Optimizer"},
      {"-Velloria Optimizer /S", "", false, false, "-Velloria Optimizer /S"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    const Automation automation = SplitCommandLine(c.line);
    EXPECT_EQ(automation.script, c.script);
    EXPECT_EQ(automation.yes, c.yes);
    EXPECT_EQ(automation.silent, c.silent);
    EXPECT_EQ(automation.argument, c.argument);
  }
}

TEST(CommandLineTest, TheNativeProgramUninstallsWithYes) {
  // The program is built beside this test program.
  const std::string bin = vu::testing::BinDir().string();
  ASSERT_TRUE(std::filesystem::exists(bin + "/uninstall")) << bin;
  TempMachine temp;
  temp.InstallDefault();
  std::string folder = temp.machine().hostDir();
  temp.machine().Commit();
  const std::string command =
      bin + "/uninstall --machine '" + folder + "' --fast --yes -- -Velloria Optimizer > /dev/null";
  ASSERT_EQ(std::system(command.c_str()), 0);
  // A fresh look at the machine the program changed.
  auto reopened = platform::sandbox::SandboxMachine::Open(folder, nullptr);
  ASSERT_NE(reopened, nullptr);
  EXPECT_EQ(reopened->files().Attributes(kProgramDir), INVALID_FILE_ATTRIBUTES);
  EXPECT_NE(reopened->files().Attributes(kUninstaller), INVALID_FILE_ATTRIBUTES);
  std::unique_ptr<platform::RegistryKey> key;
  EXPECT_NE(reopened->registry().OpenKey(HKEY_LOCAL_MACHINE, kRecordKey, key), ERROR_SUCCESS);
}

}  // namespace
}  // namespace vu::uninstaller::testing
