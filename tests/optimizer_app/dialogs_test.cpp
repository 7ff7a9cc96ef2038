// Leaving the wizard: Close with Resume or Exit from every page and during a run, Close on the
// results page with and without the restart, the help viewer, and the large-font layout of
// every form.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/large_font.h"
#include "fixture.h"
#include "optimizer/app/frm_confirm.h"
#include "optimizer/app/frm_error.h"
#include "optimizer/app/frm_must_select.h"
#include "optimizer/app/selection_pages.h"
#include "platform/status.h"

namespace vu::optimizer::testing {
namespace {

constexpr const char* kHelpLine =
    "start 2 winhlp32 \"C:\\Program Files\\Velloria Utilities\\Optimizer\\Optimizer.hlp\"\n";

// Page 0 is the welcome page, 1 the Custom page, 2..11 the selection pages 1..10.
constexpr int kPagesBeforeTheRun = 2 + kSelectionPageCount;

void GoTo(OptimizerWorld& world, int page) {
  if (page == 0) return;
  ASSERT_TRUE(world.Click("welcomeOption2"));
  for (int k = 0; k < page; ++k)
    ASSERT_TRUE(world.Click("nextButton"));
}

std::string PageName(int page) {
  if (page == 0) return "Welcome";
  if (page == 1) return "Custom";
  return std::string(kSelectionPages[page - 2].title);
}

TEST(CloseTest, ResumeReturnsToEveryPageAsItWas) {
  OptimizerWorld world;
  world.Start();
  FrmMain& main = world.main();
  for (int page = 0; page < kPagesBeforeTheRun; ++page) {
    SCOPED_TRACE(PageName(page));
    if (page == 1) {
      ASSERT_TRUE(world.Click("welcomeOption2"));
    }
    if (page > 0) {
      ASSERT_TRUE(world.Click("nextButton"));
    }
    if (page >= 2 && page % 3 == 0) {
      ASSERT_TRUE(world.Click("checkLabel"));
    }
    const WizardView before = Look(main);
    const std::string title = main.selection.titleLabel.caption();
    const double box = main.selection.checkLabel.value();
    const SelectionFlags flags = world.app.state().flags;

    Answer(world,
           "expect frmConfirm.visible = \"True\"\n"
           "expect frmMain.enabled = \"False\"\n"
           "expect frmMain.progressTimer.enabled = \"False\"\n"
           "expect frmConfirm.caption = \"Exit Optimizer\"\n"
           "expect frmConfirm.Label1.caption = \"Optimization not completed\"\n"
           "expect frmConfirm.Label3.caption = \"You can, however, run Optimizer again at a later "
           "date to continue optimization.\"\n"
           "expect frmConfirm.Label2.caption = \"Are you sure you wish to exit?\"\n"
           "expect frmConfirm.Command2.caption = \"Resume\"\n"
           "expect frmConfirm.Command1.caption = \"Exit\"\n"
           "wait 50\n"
           "click frmConfirm.Command2\n");
    ASSERT_TRUE(world.Click("closeButton"));
    EXPECT_TRUE(world.program.script()->finished()) << world.errors.str();

    EXPECT_EQ(Look(main), before);
    EXPECT_EQ(main.focused(), &main.nextButton);
    EXPECT_EQ(main.selection.titleLabel.caption(), title);
    EXPECT_EQ(main.selection.checkLabel.value(), box);
    for (int i = 0; i < kStepCount; ++i)
      EXPECT_EQ(world.app.state().flags.For(Step(i)), flags.For(Step(i)));
    EXPECT_TRUE(main.enabled());
    EXPECT_TRUE(main.progressTimer.enabled()) << "Resume always starts the progress timer";
    toolkit::Form* dialog = world.program.FindForm("frmConfirm");
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog, &world.program.form<FrmConfirm>(world.app)) << "the same dialog each time";
    EXPECT_FALSE(dialog->visible());
  }
  EXPECT_EQ(world.temp.Journal(), "");
}

TEST(CloseTest, ExitEndsTheProgramFromEveryPage) {
  for (int page = 0; page < kPagesBeforeTheRun; ++page) {
    SCOPED_TRACE(PageName(page));
    OptimizerWorld world;
    world.Start();
    GoTo(world, page);
    Answer(world, "click frmConfirm.Command1\n");
    EXPECT_EQ(world.EndCode([&] { world.Click("closeButton"); }), 0);
    EXPECT_TRUE(world.program.ended());
    EXPECT_EQ(world.temp.Journal(), "") << "no restart, nothing started";
  }
}

TEST(CloseTest, ResumeBeforeAnyRunLetsTheHiddenBarFillByItself) {
  OptimizerWorld world;
  world.Start();
  FrmMain& main = world.main();
  std::vector<TickRecord> ticks;
  Spy(world, main.progressTimer, ticks);
  Answer(world, "click frmConfirm.Command2\n");
  ASSERT_TRUE(world.Click("closeButton"));
  const std::int64_t resumed = world.Now();
  for (int i = 0; i < 1000 && main.progressTimer.enabled(); ++i)
    world.program.WaitForEvent();

  EXPECT_FALSE(main.progressTimer.enabled()) << "the timer stops itself at 100";
  EXPECT_EQ(main.scan.progressBar.value(), 100);
  // Never started: the pace is random (at most 6 a tick), the first tick after the interval set
  // at load.
  ASSERT_GE(ticks.size(), 17u);
  EXPECT_EQ(ticks[0].start - resumed, 500);
  EXPECT_EQ(Look(main), WelcomeView()) << "the bar lies on the hidden scanning page";
}

TEST(CloseTest, TheResultsPageRestartsOnlyWhenTheBoxIsTicked) {
  for (bool restart : {true, false}) {
    SCOPED_TRACE(restart ? "ticked" : "cleared");
    OptimizerWorld world;
    world.Start();
    ASSERT_TRUE(world.Click("nextButton"));
    ASSERT_EQ(world.main().caption(), "Finished Optimizing");
    if (!restart) {
      ASSERT_TRUE(world.Click("bootCheck"));
    }
    EXPECT_EQ(world.EndCode([&] { world.Click("closeButton"); }), 0);
    EXPECT_EQ(world.program.FindForm("frmConfirm"), nullptr) << "no question on the results";
    EXPECT_EQ(world.temp.Journal(), restart ? "restart 3 1\n" : "");
  }
}

TEST(CloseTest, TheWindowsCloseBoxDoesWhatTheCloseButtonDoes) {
  OptimizerWorld world;
  world.Start();
  FrmMain& main = world.main();
  Answer(world,
         "expect frmConfirm.visible = \"True\"\n"
         "click frmConfirm.Command2\n");
  main.onClose();
  EXPECT_TRUE(world.program.script()->finished()) << world.errors.str();
  EXPECT_EQ(main.caption(), "Welcome");

  ASSERT_TRUE(world.Click("nextButton"));
  ASSERT_EQ(main.caption(), "Finished Optimizing");
  ASSERT_TRUE(world.Click("bootCheck"));
  EXPECT_EQ(world.EndCode([&] { main.onClose(); }), 0);
  EXPECT_EQ(world.temp.Journal(), "");
}

TEST(CloseTest, AFailedRestartStillEnds) {
  OptimizerWorld world;
  world.temp.machine().faults().FailNth(platform::Op::Restart, 1, ERROR_ACCESS_DENIED);
  world.Start();
  ASSERT_TRUE(world.Click("nextButton"));
  EXPECT_EQ(world.EndCode([&] { world.Click("closeButton"); }), 0);
  EXPECT_EQ(world.temp.Journal(), "");
}

// Close in the middle of a run: the confirmation stops the progress bar (and only it) and holds
// the run; Resume lets both go on.
TEST(CloseTest, TheConfirmationHoldsTheRunAndStopsOnlyTheProgressBar) {
  RunLog log;
  OptimizerWorld world(96, log.Make());
  world.Start();
  FrmMain& main = world.main();
  FrmConfirm& confirm = world.program.form<FrmConfirm>(world.app);
  std::vector<TickRecord> progressTicks, labelTicks;
  Spy(world, main.progressTimer, progressTicks);
  Spy(world, main.labelTimer, labelTicks);
  std::int64_t closedAt = -1, resumedAt = -1;
  float barAtClose = -1, barAtResume = -1;
  std::size_t stepsAtClose = 0, stepsAtResume = 0;
  auto close = main.closeButton.onClick;
  main.closeButton.onClick = [&, close] {
    closedAt = world.Now();
    barAtClose = static_cast<float>(main.scan.progressBar.value());
    stepsAtClose = log.performed.size();
    close();
  };
  auto resume = confirm.resumeButton.onClick;
  confirm.resumeButton.onClick = [&, resume] {
    resumedAt = world.Now();
    barAtResume = static_cast<float>(main.scan.progressBar.value());
    stepsAtResume = log.performed.size();
    resume();
  };

  Answer(world,
         "until frmMain.registryLabel1.bold = \"True\"\n"
         "wait 5000\n"
         "click frmMain.closeButton\n"
         "expect frmMain.progressTimer.enabled = \"False\"\n"
         "wait 8000\n"
         "expect frmConfirm.visible = \"True\"\n"
         "expect frmMain.registryLabel1.bold = \"True\"\n"
         "click frmConfirm.Command2\n"
         "expect frmMain.progressTimer.enabled = \"True\"\n");
  ASSERT_TRUE(world.Click("nextButton"));
  EXPECT_TRUE(world.program.script()->finished()) << world.errors.str();

  ASSERT_GT(closedAt, 0);
  EXPECT_GE(resumedAt - closedAt, 8000);
  EXPECT_LE(resumedAt - closedAt, 8010);
  EXPECT_GT(barAtClose, 0);
  EXPECT_LT(barAtClose, 100);
  EXPECT_EQ(barAtResume, barAtClose) << "the bar stood still while the question was up";
  EXPECT_EQ(stepsAtClose, 2u);
  EXPECT_EQ(stepsAtResume, 2u) << "the run waited";
  int labelTicksDuring = 0;
  for (const TickRecord& tick : progressTicks) {
    EXPECT_FALSE(tick.start > closedAt && tick.start < resumedAt)
        << "progress tick at " << tick.start;
  }
  for (const TickRecord& tick : labelTicks)
    labelTicksDuring += tick.start > closedAt && tick.start < resumedAt;
  EXPECT_GE(labelTicksDuring, 8000 / 200 - 1) << "other timers keep ticking";
  EXPECT_EQ(log.performed.size(), static_cast<std::size_t>(kStepCount));
  EXPECT_EQ(main.caption(), "Finished Optimizing");
}

TEST(CloseTest, ResumeDuringTheStartUpAnimationLetsTheRunFinish) {
  RunLog log;
  log.searchMs = 20000;
  OptimizerWorld world(96, log.Make());
  world.Start();
  FrmMain& main = world.main();
  std::vector<TickRecord> startTicks;
  Spy(world, main.startProgressTimer, startTicks);
  Answer(world,
         "wait 3000\n"
         "click frmMain.closeButton\n"
         "wait 2000\n"
         "click frmConfirm.Command2\n");
  ASSERT_TRUE(world.Click("nextButton"));
  EXPECT_TRUE(world.program.script()->finished()) << world.errors.str();
  // The start-up animation went on behind the question: about 20 ticks in those 2 s.
  int during = 0;
  for (const TickRecord& tick : startTicks)
    during += tick.start > log.searchStart + 3000 && tick.start < log.searchStart + 5000;
  EXPECT_GE(during, 18);
  EXPECT_EQ(log.performed.size(), static_cast<std::size_t>(kStepCount));
  EXPECT_EQ(main.caption(), "Finished Optimizing");
}

TEST(CloseTest, ExitEndsTheProgramDuringARun) {
  RunLog log;
  OptimizerWorld world(96, log.Make());
  world.Start();
  Answer(world,
         "until frmMain.registryLabel1.bold = \"True\"\n"
         "click frmMain.closeButton\n"
         "click frmConfirm.Command1\n");
  EXPECT_EQ(world.EndCode([&] { world.Click("nextButton"); }), 0);
  EXPECT_EQ(log.performed, (std::vector<Step>{Step::BrokenLinks, Step::RegistryMistakes}));
  EXPECT_EQ(world.main().caption(), "Optimizing your system");
  EXPECT_EQ(world.temp.Journal(), "");
}

TEST(HelpTest, StartsTheViewerOnTheHelpFileInQuotes) {
  OptimizerWorld world;
  world.Start();
  FrmMain& main = world.main();
  const std::string help = "C:\\Program Files\\Velloria Utilities\\Optimizer\\Optimizer.hlp";
  // F1: the program's help file is registered at start-up.
  EXPECT_EQ(world.program.helpFile(), help);
  EXPECT_EQ(world.app.helpFile(), help);

  ASSERT_TRUE(world.Click("helpButton"));
  EXPECT_EQ(world.temp.Journal(), kHelpLine);
  EXPECT_EQ(main.focused(), &main.nextButton);
  EXPECT_EQ(Look(main), WelcomeView());

  GoTo(world, 4);
  ASSERT_TRUE(world.Click("checkLabel"));
  ASSERT_TRUE(world.Click("helpButton"));
  EXPECT_EQ(main.focused(), &main.nextButton);
  EXPECT_EQ(Look(main), SelectionView());

  // On the results page Next is gone and the focus stays where the click put it.
  for (int k = 0; k < 20 && main.nextButton.visible(); ++k) {
    ASSERT_TRUE(world.Click("nextButton"));
  }
  ASSERT_EQ(main.caption(), "Finished Optimizing");
  ASSERT_TRUE(world.Click("helpButton"));
  EXPECT_EQ(main.focused(), &main.helpButton);
  EXPECT_EQ(world.temp.Journal(), std::string(kHelpLine) + kHelpLine + kHelpLine);
}

TEST(HelpTest, AViewerThatCannotStartChangesNothing) {
  OptimizerWorld world;
  world.temp.machine().faults().FailNth(platform::Op::StartProgram, 1, ERROR_FILE_NOT_FOUND);
  world.Start();
  ASSERT_TRUE(world.Click("helpButton"));
  EXPECT_EQ(world.temp.Journal(), "");
  EXPECT_EQ(Look(world.main()), WelcomeView());
  ASSERT_TRUE(world.Click("helpButton"));
  EXPECT_EQ(world.temp.Journal(), kHelpLine);
}

TEST(HelpTest, AProgramInADriveRootHasOneBackslash) {
  OptimizerWorld world;
  world.temp.machine().SetProgramFolder("C:\\");
  world.Start();
  ASSERT_TRUE(world.Click("helpButton"));
  EXPECT_EQ(world.temp.Journal(), "start 2 winhlp32 \"C:\\Optimizer.hlp\"\n");
}

TEST(LargeFontTest, OnlyExactly120PixelsPerInchSwapsTheArtwork) {
  for (int dpi : {96, 120, 144}) {
    SCOPED_TRACE(dpi);
    const bool large = dpi == 120;
    OptimizerWorld world(dpi);
    world.Start();
    EXPECT_EQ(common::IsLargeFontScreen(world.temp.machine().system()), large ? -1 : 0);

    FrmMain& main = world.main();
    EXPECT_EQ(main.smallPic.picture(), large ? "side_large" : "side_small");
    EXPECT_FALSE(main.bigMain.visible());
    EXPECT_FALSE(main.bigExc.visible());
    // The separator pairs stay on separate pixel rows at the screen's twips a pixel.
    const int twipsPerPixel = 1440 / dpi;
    EXPECT_NE(main.line3.top() / twipsPerPixel, main.line2.top() / twipsPerPixel);
    EXPECT_NE(main.start.line1.top() / twipsPerPixel, main.start.line4.top() / twipsPerPixel);
    for (toolkit::Control* picture : {&world.program.form<FrmConfirm>(world.app).picture1,
                                      &world.program.form<FrmMustSelect>(world.app).picture1,
                                      &world.program.form<FrmError>(world.app).picture1}) {
      EXPECT_EQ(picture->picture(), large ? "dialog_large" : "dialog_small")
          << picture->form().name();
    }
  }
}

}  // namespace
}  // namespace vu::optimizer::testing
