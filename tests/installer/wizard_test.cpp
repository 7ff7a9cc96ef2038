// The wizard's pages, both ways through them, the Browse buttons, Cancel, and the timed stages
// as the user sees them.
#include <gtest/gtest.h>

#include "harness.h"
#include "installer/frm_confirm.h"
#include "installer/frm_splash.h"

namespace vu::installer {
namespace {

using testing::InstallWorld;
using toolkit::Control;

constexpr const char* kMethodForward =
    "Installer uses 2 different method of installing for 2 different kinds of install. These "
    "include :";
constexpr const char* kMethodBack =
    "Installer uses 2 different method of installing for 2 different kinds of install. There "
    "include :";

std::string Shown(FrmMain&, std::initializer_list<Control*> controls) {
  std::string text;
  for (Control* control : controls)
    text += control->visible() ? '1' : '0';
  return text;
}

TEST(Wizard, WelcomeAndMethodBothWays) {
  InstallWorld world;
  world.ShowWizard();
  FrmMain& form = world.main();
  const int left = form.mainLabel.left();
  EXPECT_EQ(form.caption(), "Welcome");
  EXPECT_EQ(form.mainLabel.caption(), "Welcome to the Velloria™ Optimizer setup program.");
  EXPECT_FALSE(form.command3.enabled());
  EXPECT_EQ(form.focused(), &form.command2);

  ASSERT_TRUE(form.command2.UserClick());
  EXPECT_EQ(form.caption(), "Installation Method");
  EXPECT_EQ(form.mainLabel.caption(), "Selecting installation method");
  EXPECT_EQ(form.mainLabel.align(), toolkit::Align::Left);
  EXPECT_EQ(form.mainLabel.left(), left + 100);
  EXPECT_EQ(form.firstLabel.caption(), kMethodForward);
  EXPECT_EQ(form.command2.caption(), "&Next");
  EXPECT_TRUE(form.command3.enabled());
  const auto welcome = {&form.secondLabel, &form.frame3, &form.label4, &form.label5};
  const auto method = {&form.label3, &form.shape2, &form.label1, &form.option1, &form.option2};
  EXPECT_EQ(Shown(form, welcome), "0000");
  EXPECT_EQ(Shown(form, method), "11111");

  ASSERT_TRUE(form.command3.UserClick());
  EXPECT_EQ(form.caption(), "Welcome");
  EXPECT_EQ(form.mainLabel.align(), toolkit::Align::Center);
  EXPECT_EQ(form.mainLabel.left(), left);
  EXPECT_EQ(form.firstLabel.caption(), "This program will install Optimizer onto your computer.");
  EXPECT_EQ(form.command2.caption(), "I &Agree");
  EXPECT_FALSE(form.command3.enabled());
  EXPECT_EQ(Shown(form, welcome), "1111");
  EXPECT_EQ(Shown(form, method), "00000");
  EXPECT_EQ(form.focused(), &form.command2);
}

TEST(Wizard, DirectoryAndMenuPagesBothWaysWithTheirDifferingTexts) {
  InstallWorld world;
  world.ShowWizard();
  FrmMain& form = world.main();
  InstallerSettings& settings = world.app().settings();
  form.command2.UserClick();
  form.option2.UserClick();
  EXPECT_EQ(form.focused(), &form.command2);
  form.command2.UserClick();
  EXPECT_EQ(form.caption(), "Destination Directory");
  EXPECT_EQ(form.firstLabel.caption(), "Please choose a directory for installation :");
  EXPECT_EQ(form.pathLabel.caption(), "C:\\Program Files\\Velloria Utilities\\Optimizer");
  EXPECT_EQ(Shown(form, {&form.frame2, &form.pathLabel, &form.command4, &form.command5}), "1110");

  // Back to the method page: the custom choice stays, the text reads "There".
  form.command3.UserClick();
  EXPECT_EQ(form.caption(), "Installation Method");
  EXPECT_EQ(form.firstLabel.caption(), kMethodBack);
  EXPECT_NE(form.option2.value(), 0);
  EXPECT_EQ(Shown(form, {&form.frame2, &form.pathLabel, &form.command4}), "000");
  form.command2.UserClick();

  form.command2.UserClick();
  EXPECT_EQ(form.caption(), "Program menu icons");
  EXPECT_EQ(form.mainLabel.caption(), "Selecting programs menu");
  EXPECT_EQ(form.firstLabel.caption(), "Please select the Optimizer menu folder :");
  EXPECT_EQ(form.pathLabel.caption(), settings.StartmenuPath);
  EXPECT_EQ(Shown(form, {&form.command4, &form.command5, &form.check1}), "011");

  // "Use Menu icon" greys the folder choice; only Next stores it.
  form.check1.UserClick();
  EXPECT_FALSE(form.command5.enabled());
  EXPECT_FALSE(form.frame2.enabled());
  EXPECT_EQ(form.focused(), &form.command2);
  EXPECT_TRUE(common::IsSet(settings.UseMenuIcon));

  form.command3.UserClick();
  EXPECT_EQ(form.caption(), "Destination Directory");
  EXPECT_EQ(form.firstLabel.caption(), "Please choose a directory for installation");
  EXPECT_EQ(Shown(form, {&form.command4, &form.command5, &form.check1}), "100");
  EXPECT_TRUE(common::IsSet(settings.UseMenuIcon));
}

TEST(Wizard, BrowseButtonsRefuseCancelTheProgramMenuAndNothingElse) {
  InstallWorld world;
  world.ShowWizard();
  FrmMain& form = world.main();
  InstallerSettings& settings = world.app().settings();
  const std::string defaultDir = settings.ProgramfilePath;
  form.command2.UserClick();
  form.option2.UserClick();
  form.command2.UserClick();

  world.temp.machine().QueueBrowseAnswer(std::nullopt);
  form.command4.UserClick();
  EXPECT_EQ(form.pathLabel.caption(), defaultDir);
  EXPECT_EQ(settings.ProgramfilePath, defaultDir);

  world.temp.machine().QueueBrowseAnswer("C:\\WINDOWS\\START MENU\\PROGRAMS");
  form.command4.UserClick();
  EXPECT_EQ(form.pathLabel.caption(), defaultDir);
  EXPECT_EQ(settings.ProgramfilePath, defaultDir);

  world.temp.machine().QueueBrowseAnswer("D:\\");
  form.command4.UserClick();
  EXPECT_EQ(form.pathLabel.caption(), "D:\\");
  EXPECT_EQ(settings.ProgramfilePath, "D:\\");  // stored at once, before Next

  form.command2.UserClick();
  world.temp.machine().QueueBrowseAnswer(std::nullopt);
  form.command5.UserClick();
  EXPECT_EQ(form.pathLabel.caption(), "C:\\Windows\\Start Menu\\Programs\\Velloria Utilities");
  // The all-users menu does not resolve here: the user's own program menu is a fine choice.
  world.temp.machine().QueueBrowseAnswer("C:\\WINDOWS\\START MENU\\PROGRAMS");
  form.command5.UserClick();
  EXPECT_EQ(settings.StartmenuPath, "C:\\WINDOWS\\START MENU\\PROGRAMS");

  // A pick survives Back and Next.
  form.command3.UserClick();
  EXPECT_EQ(form.pathLabel.caption(), "D:\\");
  form.command2.UserClick();
  EXPECT_EQ(form.pathLabel.caption(), "C:\\WINDOWS\\START MENU\\PROGRAMS");
}

TEST(Wizard, InstallingPageStagesAndTheCompletePage) {
  InstallWorld world;
  world.LaySet();
  world.ShowWizard();
  FrmMain& form = world.main();
  form.command2.UserClick();
  form.command2.UserClick();
  EXPECT_EQ(form.caption(), "Installation");
  EXPECT_EQ(form.mainLabel.caption(), "Installing Velloria Optimizer");
  EXPECT_EQ(form.firstLabel.caption(),
            "Installer is now placing the files needed to run Optimizer onto your system");
  EXPECT_EQ(form.statusLabel.caption(), "Checking for necessary disk space...");
  EXPECT_FALSE(form.command2.enabled());
  EXPECT_FALSE(form.command2.bold());
  EXPECT_FALSE(form.command3.enabled());
  EXPECT_TRUE(form.command1.enabled());
  EXPECT_TRUE(form.command1.bold());
  EXPECT_EQ(form.focused(), &form.command1);
  EXPECT_TRUE(form.diskspaceTimer.enabled());

  // Stage 1: 51 ticks of 20 ms, then a pause of 700 ms, then the next stage's status.
  const std::int64_t start = world.Now();
  ASSERT_TRUE(world.RunUntil([&] { return form.progressBar.value() == 100; }));
  EXPECT_EQ(world.Now() - start, 1000);
  ASSERT_TRUE(world.RunUntil(
      [&] { return form.statusLabel.caption() != "Checking for necessary disk space..."; }));
  EXPECT_EQ(world.Now() - start, 1720);
  EXPECT_EQ(form.statusLabel.caption(), "Extracting system files...");
  EXPECT_EQ(form.progressBar.value(), 0);
  EXPECT_FALSE(form.diskspaceTimer.enabled());
  EXPECT_TRUE(form.systemFilesTimer.enabled());

  // One stage timer at a time from here to the end.
  Control* timers[] = {&form.diskspaceTimer, &form.systemFilesTimer, &form.mainFileTimer,
                       &form.menuTimer, &form.cleanupTimer};
  bool oneAtATime = true;
  ASSERT_TRUE(world.RunUntil([&] {
    int running = 0;
    for (Control* timer : timers)
      running += timer->enabled() ? 1 : 0;
    if (form.caption() != "Complete" && running != 1) oneAtATime = false;
    return form.caption() == "Complete";
  }));
  EXPECT_TRUE(oneAtATime);
  EXPECT_EQ(form.mainLabel.caption(), "Installation Successful");
  EXPECT_EQ(form.firstLabel.caption(),
            "Optimizer has been successfully installed onto your system");
  EXPECT_EQ(Shown(form, {&form.label2, &form.progressBar, &form.statusLabel, &form.frame1}),
            "0000");
  EXPECT_EQ(Shown(form, {&form.label6, &form.check2}), "11");
  EXPECT_EQ(form.command2.caption(), "&Finish");
  EXPECT_TRUE(form.command2.enabled());
  EXPECT_TRUE(form.command2.bold());
  EXPECT_FALSE(form.command1.enabled());
  EXPECT_FALSE(form.command1.bold());
  EXPECT_FALSE(form.command3.enabled());
  EXPECT_EQ(form.focused(), &form.command2);
  for (Control* timer : timers)
    EXPECT_FALSE(timer->enabled()) << timer->name();
}

TEST(Wizard, CancelAndResumeOnEveryPage) {
  InstallWorld world;
  world.LaySet();
  const std::string resume =
      "click frmMain.Command1\n"
      "expect frmConfirm.visible = \"True\"\n"
      "expect frmConfirm.Label3.caption = \"You can, however, run Installer again at a later date "
      "to continue installation.\"\n"
      "click frmConfirm.Command2\n"
      "expect frmConfirm.visible = \"False\"\n";
  const int code =
      world.Play("until frmMain.visible = \"True\"\n" + resume +
                 "expect frmMain.caption = \"Welcome\"\n"
                 "click frmMain.Command2\n" +
                 resume +
                 "expect frmMain.caption = \"Installation Method\"\n"
                 "click frmMain.Option2\n"
                 "click frmMain.Command2\n" +
                 resume +
                 "expect frmMain.caption = \"Destination Directory\"\n"
                 "click frmMain.Command2\n" +
                 resume +
                 "expect frmMain.caption = \"Program menu icons\"\n"
                 "click frmMain.Command2\n"
                 "until frmMain.statusLabel.caption = \"Extracting system files...\"\n" +
                 resume +
                 "until frmMain.caption = \"Complete\"\n"
                 "expect frmMain.Command1.enabled = \"False\"\n"
                 "set frmMain.Check2 0\n"
                 "click frmMain.Command2\n");
  EXPECT_EQ(code, 0) << world.errors.str();
  EXPECT_EQ(world.Record("LongName"), "Velloria Optimizer");
}

TEST(Wizard, LargeFontScreensTakeTheLargeArtworkAt120DpiOnly) {
  for (const int dpi : {96, 120, 144}) {
    InstallWorld world(dpi);
    world.ShowWizard();
    FrmMain& form = world.main();
    FrmSplash& splash = world.app().splash();
    FrmConfirm& confirm = world.program().form<FrmConfirm>(world.app());
    const bool large = dpi == 120;
    EXPECT_EQ(form.picture1.picture(), large ? "install_large" : "install_small") << dpi;
    EXPECT_EQ(splash.picture1.picture(), large ? "setup_large" : "setup_small") << dpi;
    EXPECT_EQ(confirm.picture1.picture(), large ? "dialog_large" : "dialog_small") << dpi;
    if (large) {
      EXPECT_EQ(form.picture1.left(), 100);
      EXPECT_EQ(form.picture1.top(), 30);
      EXPECT_EQ(form.label5.top(), 2700);
      EXPECT_EQ(confirm.picture1.left(), 70);
    }
  }
}

}  // namespace
}  // namespace vu::installer
