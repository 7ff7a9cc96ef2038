// The wizard's pages and the navigation between them by captions, with the selection flags.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "harness.h"

namespace vu::optimizer::testing {
namespace {

// The forward order of the selection pages, as the user meets them.
const std::vector<std::string> kTitles = {
    "Broken Links",      "Registry Mistakes",     "Virtual Cache", "Windows StartMenu",
    "DOS Boot Sequence", "Uninstall Information", "File System",   "Internet Connection",
    "Windows Startup",   "Orphaned DLLs"};

class NavigationTest : public ::testing::Test {
 protected:
  void SetUp() override { world.Start(); }

  std::string Caption() { return world.main().caption(); }
  std::string Title() { return world.main().selection.titleLabel.caption(); }
  double Box() { return world.main().selection.checkLabel.value(); }
  std::string Bottom() { return world.main().selection.customBottomLabel.caption(); }
  SelectionFlags& Flags() { return world.app.state().flags; }

  void ToPage1() {
    ASSERT_TRUE(world.Click("welcomeOption2"));
    ASSERT_TRUE(world.Click("nextButton"));
    ASSERT_TRUE(world.Click("nextButton"));
  }

  OptimizerWorld world;
};

TEST_F(NavigationTest, StartsOnTheWelcomePageWithEverythingSelected) {
  FrmMain& main = world.main();
  EXPECT_EQ(Caption(), "Welcome");
  EXPECT_EQ(FrontPanel(main), "startFrame");
  EXPECT_TRUE(main.visible());
  EXPECT_FALSE(main.backButton.enabled());
  EXPECT_EQ(main.start.welcomeOption1.value(), -1);
  EXPECT_EQ(main.focused(), &main.nextButton);
  for (int i = 0; i < kStepCount; ++i)
    EXPECT_EQ(Flags().For(static_cast<Step>(i)), -1);
  // All five panels are up; the welcome page simply lies in front.
  for (auto* panel : {&main.start.frame, &main.custom.frame, &main.selection.frame,
                      &main.scan.frame, &main.result.frame}) {
    EXPECT_TRUE(panel->visible()) << panel->name();
  }
  EXPECT_EQ(Title(), "Broken Links");
  EXPECT_EQ(Box(), 1);
}

TEST_F(NavigationTest, WalksForwardAndBackThroughEveryPage) {
  FrmMain& main = world.main();
  ASSERT_TRUE(world.Click("welcomeOption2"));
  EXPECT_EQ(main.focused(), &main.nextButton) << "releasing the mouse over an option";
  ASSERT_TRUE(world.Click("nextButton"));
  EXPECT_EQ(Caption(), "Custom");
  EXPECT_EQ(FrontPanel(main), "customFrame");
  EXPECT_FALSE(main.start.frame.visible());
  EXPECT_TRUE(main.backButton.enabled());

  ASSERT_TRUE(world.Click("nextButton"));
  for (std::size_t k = 0; k < kTitles.size(); ++k) {
    SCOPED_TRACE(kTitles[k]);
    EXPECT_EQ(Caption(), "Custom Settings");
    EXPECT_EQ(FrontPanel(main), "customTypesFrame");
    EXPECT_EQ(Title(), kTitles[k]);
    EXPECT_EQ(Bottom(), k + 1 < kTitles.size() ? "Click '&Next' to continue"
                                               : "Click '&Next' to begin optimization");
    if (k + 1 < kTitles.size()) {
      ASSERT_TRUE(world.Click("nextButton"));
    }
  }
  EXPECT_EQ(main.selection.checkLabel.caption(), "Optimize Orphaned DLLs");
  EXPECT_EQ(main.selection.complainLabel.caption(),
            "These incorrect references slow down a computer unneccessarily");

  for (std::size_t k = kTitles.size() - 1; k-- > 0;) {
    ASSERT_TRUE(world.Click("backButton"));
    EXPECT_EQ(Title(), kTitles[k]);
    EXPECT_EQ(Bottom(), "Click '&Next' to continue");
    EXPECT_EQ(main.focused(), &main.nextButton);
  }
  ASSERT_TRUE(world.Click("backButton"));
  EXPECT_EQ(Caption(), "Custom");
  EXPECT_EQ(FrontPanel(main), "customFrame");
  ASSERT_TRUE(world.Click("backButton"));
  EXPECT_EQ(Caption(), "Welcome");
  EXPECT_EQ(FrontPanel(main), "startFrame");
  EXPECT_FALSE(main.backButton.enabled());
  EXPECT_EQ(main.focused(), &main.nextButton);
  // Nothing moved the flags.
  EXPECT_TRUE(Flags().Any());
  for (int i = 0; i < kStepCount; ++i)
    EXPECT_EQ(Flags().For(static_cast<Step>(i)), -1);
}

TEST_F(NavigationTest, EachPageShowsAndStoresItsOwnFlag) {
  ToPage1();
  // Clear every other page on the way forward.
  for (std::size_t k = 0; k < kTitles.size(); ++k) {
    if (k % 2 == 0) {
      ASSERT_TRUE(world.Click("checkLabel"));
      EXPECT_EQ(world.main().focused(), &world.main().nextButton);
    }
    if (k + 1 < kTitles.size()) {
      ASSERT_TRUE(world.Click("nextButton"));
    }
  }
  const SelectionFlags expected = Flags();
  EXPECT_EQ(expected.optBrokenLinks, 0);
  EXPECT_EQ(expected.optRegistryMistakes, -1);
  EXPECT_EQ(expected.optVirtualCache, 0);
  EXPECT_EQ(expected.optStartMenu, -1);
  EXPECT_EQ(expected.optDosBoot, 0);
  EXPECT_EQ(expected.optUninstallInfo, -1);
  EXPECT_EQ(expected.optFileSystem, 0);
  EXPECT_EQ(expected.optInternet, -1);
  EXPECT_EQ(expected.optStartup, 0);
  EXPECT_EQ(expected.optOrphanedDlls, -1);

  // Back to page 1 and forward again: each box comes back from its flag, no flag moves.
  for (std::size_t k = kTitles.size() - 1; k-- > 0;) {
    ASSERT_TRUE(world.Click("backButton"));
    EXPECT_EQ(Box(), k % 2 == 0 ? 0 : 1) << kTitles[k];
  }
  ASSERT_TRUE(world.Click("backButton"));
  ASSERT_TRUE(world.Click("nextButton"));
  EXPECT_EQ(Title(), "Broken Links");
  EXPECT_EQ(Box(), 0) << "page 1 keeps the box as the user left it";
  for (std::size_t k = 1; k < kTitles.size(); ++k) {
    ASSERT_TRUE(world.Click("nextButton"));
    EXPECT_EQ(Box(), k % 2 == 0 ? 0 : 1) << kTitles[k];
  }
  for (int i = 0; i < kStepCount; ++i) {
    EXPECT_EQ(Flags().For(static_cast<Step>(i)), expected.For(static_cast<Step>(i)));
  }
}

TEST_F(NavigationTest, BackFromTheCustomPageReturnsToAWorkingWelcomePage) {
  ASSERT_TRUE(world.Click("welcomeOption2"));
  ASSERT_TRUE(world.Click("nextButton"));
  ASSERT_TRUE(world.Click("backButton"));
  EXPECT_TRUE(world.main().start.frame.visible());
  ASSERT_TRUE(world.Click("WelcomeOption1"));
  EXPECT_EQ(world.main().start.welcomeOption2.value(), 0);
  // Next here would start the run; the caption decides, so the page is recognised again.
  EXPECT_EQ(Caption(), "Welcome");
}

TEST_F(NavigationTest, NextOnTheLastPageWithOneFlagLeftStartsTheRun) {
  for (const char* keep : {"Optimize Orphaned DLLs", "Optimize Uninstall Info"}) {
    SCOPED_TRACE(keep);
    OptimizerWorld run;
    run.Start();
    ASSERT_TRUE(run.Click("welcomeOption2"));
    ASSERT_TRUE(run.Click("nextButton"));
    ASSERT_TRUE(run.Click("nextButton"));
    for (std::size_t k = 0; k < kTitles.size(); ++k) {
      if (run.main().selection.checkLabel.caption() != keep) {
        ASSERT_TRUE(run.Click("checkLabel"));
      }
      ASSERT_TRUE(run.Click("nextButton"));  // on page 10: the run
    }
    EXPECT_EQ(run.main().caption(), "Finished Optimizing");
    EXPECT_FALSE(run.main().nextButton.visible());
    EXPECT_FALSE(run.main().backButton.visible());
  }
}

}  // namespace
}  // namespace vu::optimizer::testing
