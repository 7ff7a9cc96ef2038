// Start-up: the run-time files before the splash, the splash's two phases and its bar, and the
// hand-over to the background and the wizard.
#include <gtest/gtest.h>

#include "harness.h"
#include "installer/frm_splash.h"
#include "installer/frm_start.h"

namespace vu::installer {
namespace {

using testing::InstallWorld;

struct Sample {
  std::int64_t at;
  std::string caption;
  int barWidth;
};

// Samples the splash every millisecond and ends the program once the wizard is up.
class Observer : public toolkit::Form {
 public:
  Observer(toolkit::Program& program, InstallerApp& app, std::vector<Sample>& samples,
           std::int64_t& wizardAt, bool& handOverSeen)
      : Form(program, "observer", toolkit::FormDesign{.caption = "observer"}) {
    Add(toolkit::Kind::Timer, "sample", toolkit::Design{.interval = 1}).onTick = [&, this] {
      FrmSplash& splash = app.splash();
      const std::string caption = splash.percentLabel.caption();
      if (samples.empty() || samples.back().caption != caption) {
        samples.push_back({this->program().host().NowMs(), caption, splash.progressBar.width()});
      }
      if (app.main().visible()) {
        wizardAt = this->program().host().NowMs();
        handOverSeen = !splash.visible() && this->program().form<FrmStart>().visible();
        this->program().End(0);
      }
    };
  }
};

TEST(Splash, TwoPhasesABarThatFollowsAndTheWizardASecondAfter100) {
  InstallWorld world;
  std::vector<Sample> samples;
  std::int64_t wizardAt = -1;
  bool handOverSeen = false;
  world.program().form<Observer>(world.app(), samples, wizardAt, handOverSeen);
  ASSERT_EQ(world.program().Run([&] { world.app().Startup(); }), 0) << world.errors.str();

  ASSERT_GE(samples.size(), 17u);
  EXPECT_EQ(samples[0].caption, "0 %");
  const int border = world.app().splash().progressBorder.width();
  for (int i = 1; i <= 15; ++i) {
    EXPECT_EQ(samples[i].caption, PercentText(2 * i));
    EXPECT_NEAR(samples[i].at, 300 + 50 * (i - 1), 1);  // sampled every millisecond
  }
  for (std::size_t i = 1; i < samples.size(); ++i) {
    const int n = PercentOf(samples[i].caption);
    EXPECT_EQ(samples[i].barWidth, static_cast<int>(border / 100.0 * n)) << samples[i].caption;
    EXPECT_LE(n, 100);
    if (i > 15) {
      const int step = n - PercentOf(samples[i - 1].caption);
      EXPECT_GE(step, 0);
      EXPECT_LE(step, 14);
    }
  }
  EXPECT_EQ(samples.back().caption, "100 %");
  EXPECT_EQ(samples.back().barWidth, border);
  EXPECT_GE(wizardAt - samples.back().at, 999);
  EXPECT_LE(wizardAt - samples.back().at, 1002);
  EXPECT_TRUE(handOverSeen);
  EXPECT_EQ(world.main().caption(), "Welcome");
}

TEST(Startup, SettingsDefaultsAndRuntimeFilesBeforeTheSplash) {
  InstallWorld world;
  world.LaySet(true, {"OLEAUT32.DLL"});
  world.temp.Write("C:\\WINDOWS\\SYSTEM\\MSVBVM50.DLL", "present");
  world.app().Startup();

  const InstallerSettings& settings = world.app().settings();
  EXPECT_EQ(settings.ProgramFile, "Optimizer.exe");
  EXPECT_EQ(settings.LongName, "Velloria Optimizer");
  EXPECT_EQ(settings.runtimeCount, 9);
  EXPECT_EQ(settings.RuntimeFiles[1], "Shelllnk.tlb");
  EXPECT_EQ(settings.RuntimeFiles[9], "CTL3D32.DLL");
  EXPECT_TRUE(settings.RuntimeFiles[0].empty() && settings.RuntimeFiles[10].empty());
  EXPECT_TRUE(common::IsSet(settings.UseMenuIcon));
  EXPECT_EQ(settings.ProgramfilePath, "C:\\Program Files\\Velloria Utilities\\Optimizer");
  EXPECT_EQ(settings.StartmenuPath, "C:\\WINDOWS\\START MENU\\PROGRAMS\\Velloria Utilities");
  EXPECT_TRUE(world.app().splash().visible());
  EXPECT_TRUE(world.app().splash().incrementTimer.enabled());

  // Seven copied and registered: one was there, one is missing from the set.
  const std::string journal = world.temp.Journal();
  EXPECT_EQ(journal.find("MSVBVM50"), std::string::npos);
  EXPECT_EQ(journal.find("OLEAUT32"), std::string::npos);
  EXPECT_NE(journal.find("regsvr32.exe /s C:\\WINDOWS\\SYSTEM\\CTL3D32.DLL"), std::string::npos);
  EXPECT_EQ(world.temp.Read("C:\\WINDOWS\\SYSTEM\\MSVBVM50.DLL"), "present");
  EXPECT_FALSE(world.app().outcome().runtimeCopied[2]);
  EXPECT_TRUE(world.app().outcome().runtimeCopied[9]);
}

}  // namespace
}  // namespace vu::installer
