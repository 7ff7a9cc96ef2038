// The wizard on the two Windows families: on NT the four Windows 9x steps are shown as not needed
// on the scanning and results pages and their selection pages say so; on Windows 9x nothing of
// that appears.
#include <gtest/gtest.h>

#include <string>

#include "fixture.h"
#include "optimizer/app/selection_pages.h"

namespace vu::optimizer::testing {
namespace {

constexpr toolkit::Color kGrey = toolkit::Rgb(128, 128, 128);
constexpr toolkit::Color kBlue = toolkit::Rgb(0, 0, 255);

bool NinexOnly(Step step) {
  return step == Step::VirtualCache || step == Step::DosBoot || step == Step::Internet ||
         step == Step::FileSystem;
}

class PlatformTest : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override {
    if (Nt()) {
      world.temp.SetFacts({{"PlatformId", "2"}, {"MajorVersion", "6"}});
    }
    world.Start();
  }
  bool Nt() const { return GetParam(); }
  FrmMain& main() { return world.main(); }

  RunLog log;
  OptimizerWorld world{96, log.Make()};
};

TEST_P(PlatformTest, TheResultsMarkTheWindows9xStepsNotNeededOnNtOnly) {
  ASSERT_TRUE(world.Click("nextButton"));
  ASSERT_EQ(main().caption(), "Finished Optimizing");
  EXPECT_EQ(log.performed.size(), Nt() ? 6u : 10u);
  for (int i = 0; i < kStepCount; ++i) {
    SCOPED_TRACE(i);
    const bool notNeeded = Nt() && NinexOnly(static_cast<Step>(i));
    EXPECT_EQ(main().result.steps[i].tick.picture(), notNeeded ? "info" : "tick");
    EXPECT_TRUE(main().result.steps[i].tick.visible());
    EXPECT_EQ(main().result.steps[i].label.foreColor(), notNeeded ? kGrey : kBlue);
    EXPECT_EQ(main().scan.steps[i].tick.picture(), notNeeded ? "info" : "tick");
    EXPECT_EQ(main().scan.steps[i].label.foreColor() == kGrey, notNeeded);
  }
  EXPECT_EQ(main().notNeededPicture.visible(), Nt());
  EXPECT_EQ(main().notNeededLabel.visible(), Nt());
  EXPECT_EQ(main().notNeededLabel.caption(), "not needed on this version of Windows");
}

TEST_P(PlatformTest, TheSelectionPagesOfTheWindows9xStepsSayTheyHaveNothingToDo) {
  ASSERT_TRUE(world.Click("welcomeOption2"));
  ASSERT_TRUE(world.Click("nextButton"));
  for (const SelectionPage& page : kSelectionPages) {
    ASSERT_TRUE(world.Click("nextButton"));
    ASSERT_EQ(main().selection.titleLabel.caption(), page.title);
    const bool notNeeded = Nt() && NinexOnly(page.flag);
    EXPECT_EQ(main().selection.notNeededLine.visible(), notNeeded) << page.title;
    EXPECT_EQ(main().selection.notNeededMark.visible(), notNeeded) << page.title;
  }
  EXPECT_EQ(main().selection.notNeededLine.caption(),
            "This step has nothing to do on this version of Windows.");
  // The choice stays the user's.
  EXPECT_TRUE(main().selection.checkLabel.enabled());
}

INSTANTIATE_TEST_SUITE_P(Families, PlatformTest, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Nt" : "Windows9x"; });

}  // namespace
}  // namespace vu::optimizer::testing
