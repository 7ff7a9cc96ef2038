// F1 on the wizard: each page's context number, and that the help file maps each number to the
// topic about that page.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "fixture.h"
#include "optimizer/app/help_topics.h"
#include "optimizer/app/selection_pages.h"
#include "tests/test_paths.h"
#include "tools/helpc/hlp_reader.h"
#include "tools/helpc/hlp_writer.h"
#include "tools/helpc/markup.h"

namespace vu::optimizer::testing {
namespace {

TEST(WizardHelp, F1FollowsThePageInFrontForwardBackAndThroughTheRun) {
  RunLog log;
  OptimizerWorld world{96, log.Make()};
  std::uint32_t atSearch = 0;
  log.onSearch = [&](Engine&) { atSearch = world.main().HelpContext(); };
  world.Start();
  FrmMain& main = world.main();
  EXPECT_EQ(main.HelpContext(), kHelpModes);
  ASSERT_TRUE(world.Click("welcomeOption2"));
  ASSERT_TRUE(world.Click("nextButton"));
  EXPECT_EQ(main.caption(), "Custom");
  EXPECT_EQ(main.HelpContext(), kHelpModes);
  for (int k = 1; k <= kSelectionPageCount; ++k) {
    ASSERT_TRUE(world.Click("nextButton"));
    EXPECT_EQ(main.HelpContext(), kHelpFirstPage + k - 1) << k;
  }
  ASSERT_TRUE(world.Click("backButton"));
  EXPECT_EQ(main.HelpContext(), kHelpFirstPage + 8);
  ASSERT_TRUE(world.Click("nextButton"));
  ASSERT_TRUE(world.Click("nextButton"));  // runs to the end on the virtual clock
  EXPECT_EQ(atSearch, kHelpRunning) << "the caption still reads Custom Settings while running";
  EXPECT_EQ(main.caption(), "Finished Optimizing");
  EXPECT_EQ(main.HelpContext(), kHelpResults);
}

TEST(WizardHelp, StrayCaptionsAndTitlesFallBackToTheModesTopic) {
  EXPECT_EQ(WizardHelpContext("Custom Settings", "No such page", false), kHelpModes);
  EXPECT_EQ(WizardHelpContext("Welcome", "Orphaned DLLs", false), kHelpModes);
  EXPECT_EQ(WizardHelpContext("Optimizing your system", "Broken Links", true), kHelpRunning);
}

// The help file compiled from its source maps every number the wizard asks for to the topic
// about that page.
TEST(WizardHelp, TheHelpFileMapsEveryPagesNumberToItsTopic) {
  std::ifstream in(vu::testing::SourceDir() / "help/optimizer.txt", std::ios::binary);
  ASSERT_TRUE(in);
  const helpc::Document doc = helpc::ParseMarkup(
      std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()));
  const helpc::HelpFileView view = helpc::ReadHelpFile(helpc::WriteHelpFile(doc, 0));
  auto titleOf = [&](std::uint32_t number) -> std::string {
    for (const auto& [mapped, offset] : view.map) {
      if (mapped != number) continue;
      const helpc::ReadTopic* topic = view.TopicAt(offset);
      return topic ? topic->title : "(no topic at its offset)";
    }
    return "(not mapped)";
  };
  for (int k = 0; k < kSelectionPageCount; ++k) {
    EXPECT_EQ(titleOf(kHelpFirstPage + k), kSelectionPages[k].title) << k;
  }
  EXPECT_EQ(titleOf(kHelpModes), "Express and Custom modes");
  EXPECT_EQ(titleOf(kHelpRunning), "While Optimizer runs");
  EXPECT_EQ(titleOf(kHelpResults), "The results page and restarting the computer");
}

}  // namespace
}  // namespace vu::optimizer::testing
