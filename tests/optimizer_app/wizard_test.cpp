// The wizard's state table walked both ways by clicks: captions, the front panel, the buttons,
// the bottom lines, the empty-selection dialog, and what a run sees of the wizard.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "fixture.h"
#include "optimizer/app/frm_must_select.h"
#include "optimizer/app/selection_pages.h"

namespace vu::optimizer::testing {
namespace {

constexpr const char* kContinue = "Click '&Next' to continue";
constexpr const char* kBegin = "Click '&Next' to begin optimization";
constexpr toolkit::Color kGrey = toolkit::Rgb(128, 128, 128);
constexpr toolkit::Color kBlue = toolkit::Rgb(0, 0, 255);

// The scanning page while a run works: only Close is left.
WizardView RunningView(const std::string& caption, bool backEnabled) {
  return WizardView{caption, "findspaceFrame", false, true, false, backEnabled, false, true};
}

WizardView ResultsView(bool backEnabled) {
  return WizardView{"Finished Optimizing", "resultFrame", false, true, false,
                    backEnabled,           true,          true};
}

class WizardTest : public ::testing::Test {
 protected:
  void SetUp() override { world.Start(); }

  FrmMain& main() { return world.main(); }
  std::string Title() { return main().selection.titleLabel.caption(); }
  std::string Bottom() { return main().selection.customBottomLabel.caption(); }
  double Box() { return main().selection.checkLabel.value(); }

  void ToPage(int page) {  // 1-based, from the welcome page
    ASSERT_TRUE(world.Click("welcomeOption2"));
    ASSERT_TRUE(world.Click("nextButton"));
    for (int k = 0; k < page; ++k)
      ASSERT_TRUE(world.Click("nextButton"));
    ASSERT_EQ(Title(), kSelectionPages[page - 1].title);
  }
  void BackToWelcome() {
    while (main().caption() != "Welcome")
      ASSERT_TRUE(world.Click("backButton"));
  }

  RunLog log;
  OptimizerWorld world{96, log.Make()};
};

TEST_F(WizardTest, WalksTheStateTableBothWays) {
  EXPECT_EQ(Look(main()), WelcomeView());
  EXPECT_EQ(main().Find("Label2")->caption(),
            "Note : Custom mode is recommended for more advanced users.");
  EXPECT_EQ(main().Find("Label3")->caption(), "Click '&Next' to begin selection");

  // Welcome -> Custom -> Welcome -> Custom: the welcome page comes back in working order.
  ASSERT_TRUE(world.Click("welcomeOption2"));
  EXPECT_EQ(Look(main()), WelcomeView()) << "choosing a mode moves nowhere";
  ASSERT_TRUE(world.Click("nextButton"));
  EXPECT_EQ(Look(main()), CustomView());
  EXPECT_FALSE(main().start.frame.visible());
  ASSERT_TRUE(world.Click("backButton"));
  EXPECT_EQ(Look(main()), WelcomeView());
  EXPECT_EQ(main().focused(), &main().nextButton);
  EXPECT_EQ(main().start.welcomeOption2.value(), -1) << "the mode is kept";
  ASSERT_TRUE(world.Click("nextButton"));
  EXPECT_EQ(Look(main()), CustomView());

  // Custom -> every selection page -> back to Custom, with the bottom line on each page.
  ASSERT_TRUE(world.Click("nextButton"));
  for (int k = 0; k < kSelectionPageCount; ++k) {
    SCOPED_TRACE(kSelectionPages[k].title);
    EXPECT_EQ(Look(main()), SelectionView());
    EXPECT_EQ(Title(), kSelectionPages[k].title);
    EXPECT_EQ(main().selection.mainLabel.caption(), kSelectionPages[k].mainText);
    EXPECT_EQ(main().selection.complainLabel.caption(), kSelectionPages[k].complaint);
    EXPECT_EQ(main().selection.removeLabel.caption(), kSelectionPages[k].offer);
    EXPECT_EQ(main().selection.checkLabel.caption(), kSelectionPages[k].checkText);
    EXPECT_EQ(Bottom(), k == kSelectionPageCount - 1 ? kBegin : kContinue);
    if (k + 1 < kSelectionPageCount) {
      ASSERT_TRUE(world.Click("nextButton"));
    }
  }
  for (int k = kSelectionPageCount - 1; k-- > 0;) {
    ASSERT_TRUE(world.Click("backButton"));
    SCOPED_TRACE(kSelectionPages[k].title);
    EXPECT_EQ(Look(main()), SelectionView());
    EXPECT_EQ(Title(), kSelectionPages[k].title);
    EXPECT_EQ(Bottom(), kContinue);
    EXPECT_EQ(main().focused(), &main().nextButton);
  }
  ASSERT_TRUE(world.Click("backButton"));
  EXPECT_EQ(Look(main()), CustomView());
  EXPECT_EQ(main().focused(), &main().nextButton);
  // Next again shows page 1 as it was left; nothing is set again.
  ASSERT_TRUE(world.Click("nextButton"));
  EXPECT_EQ(Look(main()), SelectionView());
  EXPECT_EQ(Title(), "Broken Links");
  ASSERT_TRUE(world.Click("backButton"));
  ASSERT_TRUE(world.Click("backButton"));
  EXPECT_EQ(Look(main()), WelcomeView());
  EXPECT_TRUE(log.performed.empty());
  EXPECT_FALSE(log.atSearch.has_value()) << "no run was started on the way";
}

TEST_F(WizardTest, ExpressAfterVisitingTheSelectionPagesRunsWithTheFlagsAsLeft) {
  ToPage(2);
  ASSERT_TRUE(world.Click("checkLabel"));  // Registry Mistakes off
  for (int k = 2; k < kSelectionPageCount; ++k)
    ASSERT_TRUE(world.Click("nextButton"));
  ASSERT_TRUE(world.Click("checkLabel"));  // Orphaned DLLs off
  BackToWelcome();
  ASSERT_TRUE(world.Click("WelcomeOption1"));
  ASSERT_TRUE(world.Click("nextButton"));

  const std::vector<Step> expected = {Step::BrokenLinks,   Step::VirtualCache, Step::DosBoot,
                                      Step::UninstallInfo, Step::Internet,     Step::FileSystem,
                                      Step::Startup,       Step::StartMenu};
  EXPECT_EQ(log.performed, expected);
  ASSERT_TRUE(log.atSearch.has_value());
  EXPECT_EQ(*log.atSearch, RunningView("Optimizing your system", false));
  for (const WizardView& view : log.atSteps)
    EXPECT_EQ(view, RunningView("Optimizing your system", false));

  EXPECT_EQ(Look(main()), ResultsView(false));
  EXPECT_TRUE(main().closeButton.bold());
  EXPECT_EQ(main().focused(), &main().closeButton);
  for (int i = 0; i < kStepCount; ++i) {
    const bool off = i == Index(Step::RegistryMistakes) || i == Index(Step::OrphanedDlls);
    SCOPED_TRACE(main().result.steps[i].label.caption());
    EXPECT_EQ(main().result.steps[i].tick.visible(), !off);
    EXPECT_EQ(main().result.steps[i].label.foreColor(), off ? kGrey : kBlue);
    EXPECT_EQ(main().scan.steps[i].label.foreColor() == kGrey, off);
    EXPECT_TRUE(main().scan.steps[i].label.visible());
    EXPECT_EQ(main().scan.steps[i].tick.visible(), !off);
    EXPECT_FALSE(main().scan.steps[i].label.bold());
  }
  // The flags are read, never changed.
  EXPECT_EQ(world.app.state().flags.optRegistryMistakes, 0);
  EXPECT_EQ(world.app.state().flags.optOrphanedDlls, 0);
  EXPECT_EQ(world.app.state().flags.optBrokenLinks, -1);
}

TEST_F(WizardTest, ACustomRunKeepsTheCaptionCustomSettings) {
  ToPage(kSelectionPageCount);
  ASSERT_TRUE(world.Click("nextButton"));
  ASSERT_EQ(log.performed.size(), static_cast<std::size_t>(kStepCount));
  ASSERT_TRUE(log.atSearch.has_value());
  EXPECT_EQ(*log.atSearch, RunningView("Custom Settings", true));
  for (const WizardView& view : log.atSteps)
    EXPECT_EQ(view, RunningView("Custom Settings", true));
  EXPECT_EQ(Look(main()), ResultsView(true));
  for (int i = 0; i < kStepCount; ++i)
    EXPECT_TRUE(main().result.steps[i].tick.visible());
}

TEST_F(WizardTest, AnEmptySelectionAsksForOneAndStaysOnTheLastPage) {
  ToPage(1);
  for (int k = 0; k < kSelectionPageCount; ++k) {
    ASSERT_TRUE(world.Click("checkLabel"));
    if (k + 1 < kSelectionPageCount) {
      ASSERT_TRUE(world.Click("nextButton"));
    }
  }
  ASSERT_FALSE(world.app.state().flags.Any());

  const char* answer =
      "expect frmMustSelect.visible = \"True\"\n"
      "expect frmMustSelect.caption = \"Problem with selection\"\n"
      "expect frmMustSelect.Label1.caption = \"Selection not preferable\"\n"
      "expect frmMustSelect.Label3.caption = \"You must select at least one entity to search "
      "for, otherwise Optimizer will have nothing to do.\"\n"
      "expect frmMustSelect.Command1.caption = \"&Understood\"\n"
      "expect frmMain.enabled = \"False\"\n"
      "click frmMustSelect.Command1\n";
  for (int round = 0; round < 2; ++round) {
    SCOPED_TRACE(round == 0 ? "first time" : "second time");
    Answer(world, answer);
    ASSERT_TRUE(world.Click("nextButton"));
    EXPECT_TRUE(world.program.script()->finished()) << world.errors.str();
    toolkit::Form* dialog = world.program.FindForm("frmMustSelect");
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog, &world.program.form<FrmMustSelect>(world.app)) << "one instance";
    EXPECT_FALSE(dialog->visible());
    EXPECT_TRUE(main().enabled());
    EXPECT_EQ(Look(main()), SelectionView());
    EXPECT_EQ(Title(), "Orphaned DLLs");
    EXPECT_EQ(Bottom(), kBegin);
    EXPECT_EQ(Box(), 0);
    EXPECT_FALSE(world.app.state().flags.Any());
    EXPECT_FALSE(log.atSearch.has_value()) << "no run";
  }

  // Every box is still clear on the way back.
  for (int k = kSelectionPageCount - 1; k-- > 0;) {
    ASSERT_TRUE(world.Click("backButton"));
    EXPECT_EQ(Box(), 0) << kSelectionPages[k].title;
  }
  // Ticking one box again lets the run start, with that step only.
  for (int k = 1; k < kSelectionPageCount; ++k)
    ASSERT_TRUE(world.Click("nextButton"));
  ASSERT_TRUE(world.Click("checkLabel"));
  ASSERT_TRUE(world.Click("nextButton"));
  EXPECT_EQ(log.performed, std::vector<Step>{Step::OrphanedDlls});
  EXPECT_EQ(Look(main()), ResultsView(true));
}

TEST_F(WizardTest, ExpressMakesNoTestOfTheSelection) {
  ToPage(1);
  for (int k = 0; k < kSelectionPageCount; ++k) {
    ASSERT_TRUE(world.Click("checkLabel"));
    if (k + 1 < kSelectionPageCount) {
      ASSERT_TRUE(world.Click("nextButton"));
    }
  }
  BackToWelcome();
  ASSERT_TRUE(world.Click("WelcomeOption1"));
  ASSERT_TRUE(world.Click("nextButton"));

  // The run initialises (the search included), performs nothing and greys everything.
  EXPECT_TRUE(log.atSearch.has_value());
  EXPECT_TRUE(log.performed.empty());
  EXPECT_EQ(world.program.FindForm("frmMustSelect"), nullptr);
  EXPECT_EQ(Look(main()), ResultsView(false));
  for (int i = 0; i < kStepCount; ++i) {
    EXPECT_FALSE(main().result.steps[i].tick.visible());
    EXPECT_EQ(main().result.steps[i].label.foreColor(), kGrey);
    EXPECT_TRUE(main().scan.steps[i].label.visible());
    EXPECT_EQ(main().scan.steps[i].label.foreColor(), kGrey);
    EXPECT_FALSE(main().scan.steps[i].tick.visible());
  }
}

TEST_F(WizardTest, TheOptionsAndTheRestartBoxHandTheFocusOn) {
  ASSERT_TRUE(world.Click("welcomeOption2"));
  EXPECT_EQ(main().focused(), &main().nextButton);
  ASSERT_TRUE(world.Click("WelcomeOption1"));
  EXPECT_EQ(main().focused(), &main().nextButton);
  ASSERT_TRUE(world.Click("nextButton"));
  ASSERT_EQ(main().caption(), "Finished Optimizing");
  EXPECT_EQ(main().result.bootCheck.value(), 1) << "ticked when the results are first shown";
  ASSERT_TRUE(world.Click("bootCheck"));
  EXPECT_EQ(main().result.bootCheck.value(), 0);
  EXPECT_EQ(main().focused(), &main().closeButton);
  ASSERT_TRUE(world.Click("bootCheck"));
  EXPECT_EQ(main().result.bootCheck.value(), 1);
  EXPECT_EQ(main().focused(), &main().closeButton);
  // Only Close and Help are left to press.
  EXPECT_FALSE(world.Click("nextButton"));
  EXPECT_FALSE(world.Click("backButton"));
}

}  // namespace
}  // namespace vu::optimizer::testing
