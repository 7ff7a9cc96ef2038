// The small pieces the stages and pages are made of: the splash's number, the background's
// bands and the special folders.
#include <gtest/gtest.h>

#include "common/special_folders.h"
#include "harness.h"
#include "installer/frm_splash.h"
#include "installer/frm_start.h"
#include "installer/install_steps.h"

namespace vu::installer {
namespace {

using testing::InstallWorld;

TEST(Splash, PercentReadsTheFirstThreeCharacters) {
  EXPECT_EQ(PercentOf("0 %"), 0);
  EXPECT_EQ(PercentOf(" 2 %"), 2);
  EXPECT_EQ(PercentOf(" 30 %"), 30);
  EXPECT_EQ(PercentOf("100 %"), 100);
  EXPECT_EQ(PercentText(30), " 30 %");
}

TEST(Background, SixtyThreeBandsFromTheBottomDarkeningByFour) {
  InstallWorld world;
  FrmStart& start = world.program().form<FrmStart>();
  const int height = start.clientHeight();  // 600 pixels at 15 twips
  ASSERT_EQ(height, 9000);
  const int band = 122;  // 9000 / 74 = 121.6, to the nearest

  const std::vector<toolkit::FillRect>& bands = start.Paint();
  ASSERT_EQ(bands.size(), 63u);
  EXPECT_EQ(bands[0].top, height - band);
  EXPECT_EQ(bands[0].bottom, height);
  EXPECT_EQ(bands[0].right, start.clientWidth());
  EXPECT_EQ(bands[0].color, toolkit::Rgb(0, 0, 255));
  EXPECT_EQ(bands[1].color, toolkit::Rgb(0, 0, 251));
  EXPECT_EQ(bands[62].color, toolkit::Rgb(0, 0, 7));
  EXPECT_EQ(bands[62].top, height - 63 * band);
  for (std::size_t i = 1; i < bands.size(); ++i)
    EXPECT_EQ(bands[i].bottom, bands[i - 1].top);

  // From the top, and a blue that runs out: never below 0, and handed back changed.
  std::int16_t blue = 10;
  toolkit::Form& form = start;
  std::vector<toolkit::FillRect> fills;
  form.onPaint = [&](toolkit::Form& f) { PaintGradient(f, 1, 2, blue, common::kTrue); };
  fills = form.Paint();
  EXPECT_EQ(fills[0].top, 0);
  EXPECT_EQ(fills[0].color, toolkit::Rgb(1, 2, 10));
  EXPECT_EQ(fills[2].color, toolkit::Rgb(1, 2, 2));
  EXPECT_EQ(fills[3].color, toolkit::Rgb(1, 2, 0));
  EXPECT_EQ(fills[62].bottom, 63 * band);
  EXPECT_EQ(blue, 0);
}

TEST(Folders, SpecialFoldersResolveToTheWindows98Places) {
  InstallWorld world;
  platform::Shell& shell = world.temp.machine().shell();
  EXPECT_EQ(common::GetSpecialFolderPath(shell, CSIDL_PROGRAMS),
            "C:\\WINDOWS\\START MENU\\PROGRAMS");
  EXPECT_EQ(common::GetSpecialFolderPath(shell, CSIDL_STARTMENU), "C:\\WINDOWS\\START MENU");
  EXPECT_EQ(common::GetSpecialFolderPath(shell, CSIDL_DESKTOP), "C:\\WINDOWS\\DESKTOP");
  EXPECT_EQ(common::GetSpecialFolderPath(shell, CSIDL_COMMON_PROGRAMS), "");
}

}  // namespace
}  // namespace vu::installer
