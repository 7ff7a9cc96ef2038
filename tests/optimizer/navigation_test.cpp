// Each selection page shows and stores its own flag: a box cleared on one page clears that step
// and no other, and comes back from the flag when the user walks back and forth.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "harness.h"

namespace vu::optimizer::testing {
namespace {

TEST(NavigationTest, EachPageShowsAndStoresItsOwnFlag) {
  OptimizerWorld world;
  world.Start();
  const auto box = [&] { return world.main().selection.checkLabel.value(); };
  SelectionFlags& flags = world.app.state().flags;
  ASSERT_TRUE(world.Click("welcomeOption2"));
  ASSERT_TRUE(world.Click("nextButton"));
  ASSERT_TRUE(world.Click("nextButton"));
  // Clear every other page on the way forward.
  for (int k = 0; k < kStepCount; ++k) {
    if (k % 2 == 0) {
      ASSERT_TRUE(world.Click("checkLabel"));
      EXPECT_EQ(world.main().focused(), &world.main().nextButton);
    }
    if (k + 1 < kStepCount) {
      ASSERT_TRUE(world.Click("nextButton"));
    }
  }
  // The last page's texts, the product's own (spelling included).
  EXPECT_EQ(world.main().selection.checkLabel.caption(), "Optimize Orphaned DLLs");
  EXPECT_EQ(world.main().selection.complainLabel.caption(),
            "These incorrect references slow down a computer unneccessarily");
  // The pages in the order the user meets them, and the flag each one owns.
  const std::vector<std::pair<const char*, std::int16_t SelectionFlags::*>> pages = {
      {"Broken Links", &SelectionFlags::optBrokenLinks},
      {"Registry Mistakes", &SelectionFlags::optRegistryMistakes},
      {"Virtual Cache", &SelectionFlags::optVirtualCache},
      {"Windows StartMenu", &SelectionFlags::optStartMenu},
      {"DOS Boot Sequence", &SelectionFlags::optDosBoot},
      {"Uninstall Information", &SelectionFlags::optUninstallInfo},
      {"File System", &SelectionFlags::optFileSystem},
      {"Internet Connection", &SelectionFlags::optInternet},
      {"Windows Startup", &SelectionFlags::optStartup},
      {"Orphaned DLLs", &SelectionFlags::optOrphanedDlls}};
  ASSERT_EQ(pages.size(), static_cast<std::size_t>(kStepCount));
  for (std::size_t k = 0; k < pages.size(); ++k)
    EXPECT_EQ(flags.*pages[k].second, k % 2 == 0 ? 0 : -1) << pages[k].first;
  const SelectionFlags expected = flags;

  // Back to page 1 and forward again: each box comes back from its flag, no flag moves.
  for (std::size_t k = pages.size() - 1; k-- > 0;) {
    ASSERT_TRUE(world.Click("backButton"));
    EXPECT_EQ(world.main().selection.titleLabel.caption(), pages[k].first);
    EXPECT_EQ(box(), k % 2 == 0 ? 0 : 1) << pages[k].first;
  }
  ASSERT_TRUE(world.Click("backButton"));
  ASSERT_TRUE(world.Click("nextButton"));
  EXPECT_EQ(box(), 0) << "page 1 keeps the box as the user left it";
  for (std::size_t k = 1; k < pages.size(); ++k) {
    ASSERT_TRUE(world.Click("nextButton"));
    EXPECT_EQ(box(), k % 2 == 0 ? 0 : 1) << pages[k].first;
  }
  for (int i = 0; i < kStepCount; ++i)
    EXPECT_EQ(flags.For(static_cast<Step>(i)), expected.For(static_cast<Step>(i)));
}

}  // namespace
}  // namespace vu::optimizer::testing
