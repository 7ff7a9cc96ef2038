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
  EXPECT_FALSE(form.backButton.enabled());
  EXPECT_EQ(form.focused(), &form.nextButton);

  ASSERT_TRUE(form.nextButton.UserClick());
  EXPECT_EQ(form.caption(), "Installation Method");
  EXPECT_EQ(form.mainLabel.caption(), "Selecting installation method");
  EXPECT_EQ(form.mainLabel.align(), toolkit::Align::Left);
  EXPECT_EQ(form.mainLabel.left(), left + 100);
  EXPECT_EQ(form.firstLabel.caption(), kMethodForward);
  EXPECT_EQ(form.nextButton.caption(), "&Next");
  EXPECT_TRUE(form.backButton.enabled());
  const auto welcome = {&form.welcome.secondLabel, &form.welcome.licenceFrame,
                        &form.welcome.copyrightLabel, &form.welcome.agreeLabel};
  const auto method = {&form.method.expressLabel, &form.method.methodBox, &form.method.methodLabel,
                       &form.method.expressOption, &form.method.customOption};
  EXPECT_EQ(Shown(form, welcome), "0000");
  EXPECT_EQ(Shown(form, method), "11111");

  ASSERT_TRUE(form.backButton.UserClick());
  EXPECT_EQ(form.caption(), "Welcome");
  EXPECT_EQ(form.mainLabel.align(), toolkit::Align::Center);
  EXPECT_EQ(form.mainLabel.left(), left);
  EXPECT_EQ(form.firstLabel.caption(), "This program will install Optimizer onto your computer.");
  EXPECT_EQ(form.nextButton.caption(), "I &Agree");
  EXPECT_FALSE(form.backButton.enabled());
  EXPECT_EQ(Shown(form, welcome), "1111");
  EXPECT_EQ(Shown(form, method), "00000");
  EXPECT_EQ(form.focused(), &form.nextButton);
}

TEST(Wizard, DirectoryAndMenuPagesBothWaysWithTheirDifferingTexts) {
  InstallWorld world;
  world.ShowWizard();
  FrmMain& form = world.main();
  InstallerSettings& settings = world.app().settings();
  form.nextButton.UserClick();
  form.method.customOption.UserClick();
  EXPECT_EQ(form.focused(), &form.nextButton);
  form.nextButton.UserClick();
  EXPECT_EQ(form.caption(), "Destination Directory");
  EXPECT_EQ(form.firstLabel.caption(), "Please choose a directory for installation :");
  EXPECT_EQ(form.folder.pathLabel.caption(), "C:\\Program Files\\Velloria Utilities\\Optimizer");
  EXPECT_EQ(Shown(form, {&form.folder.folderFrame, &form.folder.pathLabel,
                         &form.folder.browseFolderButton, &form.folder.browseMenuButton}),
            "1110");

  // Back to the method page: the custom choice stays, the text reads "There".
  form.backButton.UserClick();
  EXPECT_EQ(form.caption(), "Installation Method");
  EXPECT_EQ(form.firstLabel.caption(), kMethodBack);
  EXPECT_NE(form.method.customOption.value(), 0);
  EXPECT_EQ(Shown(form, {&form.folder.folderFrame, &form.folder.pathLabel,
                         &form.folder.browseFolderButton}),
            "000");
  form.nextButton.UserClick();

  form.nextButton.UserClick();
  EXPECT_EQ(form.caption(), "Program menu icons");
  EXPECT_EQ(form.mainLabel.caption(), "Selecting programs menu");
  EXPECT_EQ(form.firstLabel.caption(), "Please select the Optimizer menu folder :");
  EXPECT_EQ(form.folder.pathLabel.caption(), settings.StartmenuPath);
  EXPECT_EQ(Shown(form, {&form.folder.browseFolderButton, &form.folder.browseMenuButton,
                         &form.folder.menuIconCheck}),
            "011");

  // "Use Menu icon" greys the folder choice; only Next stores it.
  form.folder.menuIconCheck.UserClick();
  EXPECT_FALSE(form.folder.browseMenuButton.enabled());
  EXPECT_FALSE(form.folder.folderFrame.enabled());
  EXPECT_EQ(form.focused(), &form.nextButton);
  EXPECT_TRUE(common::IsSet(settings.UseMenuIcon));

  form.backButton.UserClick();
  EXPECT_EQ(form.caption(), "Destination Directory");
  EXPECT_EQ(form.firstLabel.caption(), "Please choose a directory for installation");
  EXPECT_EQ(Shown(form, {&form.folder.browseFolderButton, &form.folder.browseMenuButton,
                         &form.folder.menuIconCheck}),
            "100");
  EXPECT_TRUE(common::IsSet(settings.UseMenuIcon));
}

TEST(Wizard, BrowseButtonsRefuseCancelTheProgramMenuAndNothingElse) {
  InstallWorld world;
  world.ShowWizard();
  FrmMain& form = world.main();
  InstallerSettings& settings = world.app().settings();
  platform::Shell& shell = world.temp.machine().shell();
  const std::string defaultDir = settings.ProgramfilePath;
  form.nextButton.UserClick();
  form.method.customOption.UserClick();
  form.nextButton.UserClick();

  shell.QueueBrowseAnswer(std::nullopt);
  form.folder.browseFolderButton.UserClick();
  EXPECT_EQ(form.folder.pathLabel.caption(), defaultDir);
  EXPECT_EQ(settings.ProgramfilePath, defaultDir);

  shell.QueueBrowseAnswer("C:\\WINDOWS\\START MENU\\PROGRAMS");
  form.folder.browseFolderButton.UserClick();
  EXPECT_EQ(form.folder.pathLabel.caption(), defaultDir);
  EXPECT_EQ(settings.ProgramfilePath, defaultDir);

  shell.QueueBrowseAnswer("D:\\");
  form.folder.browseFolderButton.UserClick();
  EXPECT_EQ(form.folder.pathLabel.caption(), "D:\\");
  EXPECT_EQ(settings.ProgramfilePath, "D:\\");  // stored at once, before Next

  form.nextButton.UserClick();
  shell.QueueBrowseAnswer(std::nullopt);
  form.folder.browseMenuButton.UserClick();
  EXPECT_EQ(form.folder.pathLabel.caption(),
            "C:\\WINDOWS\\START MENU\\PROGRAMS\\Velloria Utilities");
  // The all-users menu does not resolve here: the user's own program menu is a fine choice.
  shell.QueueBrowseAnswer("C:\\WINDOWS\\START MENU\\PROGRAMS");
  form.folder.browseMenuButton.UserClick();
  EXPECT_EQ(settings.StartmenuPath, "C:\\WINDOWS\\START MENU\\PROGRAMS");

  // A pick survives Back and Next.
  form.backButton.UserClick();
  EXPECT_EQ(form.folder.pathLabel.caption(), "D:\\");
  form.nextButton.UserClick();
  EXPECT_EQ(form.folder.pathLabel.caption(), "C:\\WINDOWS\\START MENU\\PROGRAMS");
}

TEST(Wizard, InstallingPageStagesAndTheCompletePage) {
  InstallWorld world;
  world.LaySet();
  world.ShowWizard();
  FrmMain& form = world.main();
  form.nextButton.UserClick();
  form.nextButton.UserClick();
  EXPECT_EQ(form.caption(), "Installation");
  EXPECT_EQ(form.mainLabel.caption(), "Installing Velloria Optimizer");
  EXPECT_EQ(form.firstLabel.caption(),
            "Installer is now placing the files needed to run Optimizer onto your system");
  EXPECT_EQ(form.installing.statusLabel.caption(), "Checking for necessary disk space...");
  EXPECT_FALSE(form.nextButton.enabled());
  EXPECT_FALSE(form.nextButton.bold());
  EXPECT_FALSE(form.backButton.enabled());
  EXPECT_TRUE(form.cancelButton.enabled());
  EXPECT_TRUE(form.cancelButton.bold());
  EXPECT_EQ(form.focused(), &form.cancelButton);
  EXPECT_TRUE(form.diskspaceTimer.enabled());

  // Stage 1: 51 ticks of 20 ms, then a pause of 700 ms, then the next stage's status.
  const std::int64_t start = world.Now();
  ASSERT_TRUE(world.RunUntil([&] { return form.installing.progressBar.value() == 100; }));
  EXPECT_EQ(world.Now() - start, 1000);
  ASSERT_TRUE(world.RunUntil([&] {
    return form.installing.statusLabel.caption() != "Checking for necessary disk space...";
  }));
  EXPECT_EQ(world.Now() - start, 1720);
  EXPECT_EQ(form.installing.statusLabel.caption(), "Extracting system files...");
  EXPECT_EQ(form.installing.progressBar.value(), 0);
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
  EXPECT_EQ(Shown(form, {&form.installing.progressLabel, &form.installing.progressBar,
                         &form.installing.statusLabel, &form.installing.statusFrame}),
            "0000");
  EXPECT_EQ(Shown(form, {&form.complete.finishLabel, &form.complete.runAfterCheck}), "11");
  EXPECT_EQ(form.nextButton.caption(), "&Finish");
  EXPECT_TRUE(form.nextButton.enabled());
  EXPECT_TRUE(form.nextButton.bold());
  EXPECT_FALSE(form.cancelButton.enabled());
  EXPECT_FALSE(form.cancelButton.bold());
  EXPECT_FALSE(form.backButton.enabled());
  EXPECT_EQ(form.focused(), &form.nextButton);
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
    EXPECT_EQ(form.picture.picture(), large ? "install_large" : "install_small") << dpi;
    EXPECT_EQ(splash.picture.picture(), large ? "setup_large" : "setup_small") << dpi;
    EXPECT_EQ(confirm.picture.picture(), large ? "dialog_large" : "dialog_small") << dpi;
    if (large) {
      EXPECT_EQ(form.picture.left(), 100);
      EXPECT_EQ(form.picture.top(), 30);
      EXPECT_EQ(form.welcome.agreeLabel.top(), 2700);
      EXPECT_EQ(confirm.picture.left(), 70);
    }
  }
}

}  // namespace
}  // namespace vu::installer
