// Whole sessions played by automation scripts from start-up to the program's end, as a user
// would go through them, and the fatal-error dialog for what should never go wrong.
#include <gtest/gtest.h>

#include <new>
#include <stdexcept>
#include <string>

#include "fixture.h"
#include "optimizer/app/frm_error.h"
#include "optimizer/app/launch.h"

namespace vu::optimizer::testing {
namespace {

constexpr const char* kReportLine = "start 2 start.exe http://www.velloria.com/about/error/\n";

TEST(ScenarioTest, ACustomSessionWithAPauseForThoughtAndNoRestart) {
  OptimizerWorld world;
  // The pages, Close and Resume on their own are the wizard and dialog tests' concern; here they
  // are one session, with the scanning page's lines seen from the script.
  const int code = world.Play(R"(
    click frmMain.welcomeOption2
    click frmMain.nextButton
    click frmMain.nextButton
    click frmMain.nextButton
    click frmMain.nextButton
    click frmMain.nextButton
    click frmMain.nextButton
    expect frmMain.titleLabel.caption = "DOS Boot Sequence"
    click frmMain.checkLabel
    # Thinking it over: Close, then Resume, and the page is as it was.
    click frmMain.closeButton
    wait 10000
    click frmConfirm.Command2
    expect frmMain.checkLabel.value = "0"
    click frmMain.nextButton
    click frmMain.nextButton
    click frmMain.nextButton
    click frmMain.nextButton
    click frmMain.nextButton
    click frmMain.backButton
    click frmMain.nextButton
    click frmMain.nextButton
    # The run: the scanning page shows each step's lines, the results grey what was cleared.
    expect frmMain.statusLabel.caption = "Initializing. . ."
    until frmMain.registryLabel1.bold = "True" within 60000
    expect frmMain.linkNameLabel.visible = "True"
    expect frmMain.sectionLabel.visible = "True"
    expect frmMain.brokenTick.visible = "True"
    until frmMain.registryTick1.visible = "True" within 60000
    expect frmMain.linkNameLabel.visible = "False"
    until frmMain.caption = "Finished Optimizing" within 600000
    expect frmMain.dosbootTick.visible = "False"
    expect frmMain.dosTick.visible = "False"
    expect frmMain.linksTick.visible = "True"
    set frmMain.bootCheck 0
    click frmMain.closeButton
  )");
  EXPECT_EQ(code, 0) << world.errors.str();
  EXPECT_EQ(world.temp.Journal(), "");
}

TEST(ScenarioTest, AnUntouchedRestartBoxRestartsTheComputer) {
  OptimizerWorld world;
  EXPECT_EQ(world.Play("click frmMain.nextButton\n"
                       "until frmMain.caption = \"Finished Optimizing\" within 600000\n"
                       "click frmMain.closeButton\n"),
            0)
      << world.errors.str();
  EXPECT_EQ(world.temp.Journal(), "restart 3 1\n");
}

// A timer that falls due during start-up's one yield and fails in a way nothing expects.
class FailingTimer : public toolkit::Form {
 public:
  explicit FailingTimer(toolkit::Program& program)
      : Form(program, "failing", toolkit::FormDesign{.caption = "failing"}) {
    toolkit::Control& timer = Add(toolkit::Kind::Timer, "failure", toolkit::Design{.interval = 1});
    timer.onTick = [&timer] {
      timer.SetEnabled(false);
      throw std::runtime_error("unexpected");
    };
  }
};

TEST(FatalErrorTest, AnUnexpectedFailureAtStartUpEndsInTheDialog) {
  OptimizerWorld world;
  world.program.form<FailingTimer>();
  const int code = world.Play(R"(
    until frmError.visible = "True" within 1000
    expect frmError.caption = "Fatal Error"
    expect frmError.Label1.caption = "Optimizer Closing"
    expect frmError.Label3.caption = "If the problem persists, please"
    expect frmError.reportLabel.caption = "report it"
    expect frmError.Label4.caption = "so that our support team can assist you further."
    expect frmError.Label5.caption = "error number :"
    expect frmError.errNum.caption = " 51"
    expect frmError.Command1.caption = "&Close"
    expect frmMain.enabled = "False"
    click frmError.reportLabel
    wait 100
    expect frmError.visible = "True"
    click frmError.Command1
  )");
  EXPECT_EQ(code, 0) << world.errors.str();
  EXPECT_EQ(world.temp.Journal(), std::string("beep\n") + kReportLine);
}

TEST(FatalErrorTest, AFailingShortcutSearchEndsInTheDialog) {
  OptimizerWorld world(96, [] {
    Operations operations;
    operations.findShortcuts = [](Engine&) -> bool { throw std::bad_alloc(); };
    return operations;
  }());
  world.Start();
  Answer(world,
         "until frmError.visible = \"True\" within 1000\n"
         "expect frmError.errNum.caption = \" 7\"\n"
         "expect frmMain.caption = \"Optimizing your system\"\n"
         "click frmError.Command1\n");
  EXPECT_EQ(world.EndCode([&] { world.Click("nextButton"); }), 0);
  EXPECT_EQ(world.temp.Journal(), "beep\n");
}

TEST(FatalErrorTest, TheErrorNumberIsPrintedAsTheRunTimePrintsIt) {
  EXPECT_EQ(ErrorNumberText(51), " 51");
  EXPECT_EQ(ErrorNumberText(0), " 0");
  EXPECT_EQ(ErrorNumberText(-2147024891), "-2147024891");
  EXPECT_EQ(ErrorNumberOf(std::bad_alloc()), 7);
  EXPECT_EQ(ErrorNumberOf(std::out_of_range("x")), 9);
  EXPECT_EQ(ErrorNumberOf(std::runtime_error("x")), 51);
}

}  // namespace
}  // namespace vu::optimizer::testing
