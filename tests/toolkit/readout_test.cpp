// What a headless run shows without a screen: a page of lines with pictures is read out when it
// comes to the front, and a run on the virtual clock whose script has ended does not wait for
// animations for ever.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "test_forms.h"
#include "toolkit/script.h"

namespace vu::toolkit::testing {
namespace {

constexpr Color kGrey = Rgb(128, 128, 128);

Design Tick(int left, int top, const char* picture, bool visible) {
  return Design{.left = left,
                .top = top,
                .width = 240,
                .height = 240,
                .visible = visible,
                .picture = picture};
}

Design Line(int left, int top, const char* caption, Color color = kSysButtonText) {
  return Design{.left = left,
                .top = top,
                .width = 1500,
                .height = 210,
                .caption = caption,
                .foreColor = color};
}

TEST(PageReadOut, EachLineWithThePictureBesideItAndWhetherItIsGreyed) {
  std::ostringstream out;
  VirtualProgram v(&out);
  Form& form = v.program.form<TestForm<1>>("frmMain", [](Form& f) {
    Control& page = f.Add(Kind::PictureBox, "resultFrame", Box(0, 0, 4000, 3000));
    f.Add(Kind::Label, "title", Line(100, 100, "Done"), &page);
    // Two columns; the right one's pictures must not be taken for the left one's.
    f.Add(Kind::Image, "aTick", Tick(100, 500, "tick", true), &page);
    f.Add(Kind::Label, "aLabel", Line(400, 510, "First fixed"), &page);
    f.Add(Kind::Image, "bTick", Tick(2000, 500, "warning", true), &page);
    f.Add(Kind::Label, "bLabel", Line(2300, 510, "Second fixed"), &page);
    f.Add(Kind::Image, "cTick", Tick(100, 900, "tick", false), &page);
    f.Add(Kind::Label, "cLabel", Line(400, 910, "Third fixed", kGrey), &page);
    f.Add(Kind::CheckBox, "boot",
          Design{.left = 400, .top = 1300, .caption = "Restart", .value = 1}, &page);
    f.Add(Kind::Label, "unseen", Design{.top = 1600, .caption = "hidden", .visible = false}, &page);
    Control& front = f.Add(Kind::PictureBox, "welcome", Box(0, 0, 4000, 3000));
    f.Add(Kind::Label, "hello", Line(100, 100, "Welcome"), &front);
  });
  form.Show();
  form.Find("resultFrame")->ZOrderFront();
  EXPECT_EQ(out.str(),
            "[00:00.000] frmMain shown \"frmMain\"\n"
            "[00:00.000] frmMain.resultFrame to front\n"
            "[00:00.000]   frmMain.title picture none \"Done\"\n"
            "[00:00.000]   frmMain.aLabel picture tick \"First fixed\"\n"
            "[00:00.000]   frmMain.bLabel picture warning \"Second fixed\"\n"
            "[00:00.000]   frmMain.cLabel picture none \"Third fixed\" greyed\n"
            "[00:00.000]   frmMain.boot picture none \"Restart\" value 1\n");
}

TEST(PageReadOut, APageWithoutPicturesIsNotReadOut) {
  std::ostringstream out;
  VirtualProgram v(&out);
  Form& form = v.program.form<TestForm<1>>("frmMain", [](Form& f) {
    Control& page = f.Add(Kind::PictureBox, "customFrame", Box(0, 0, 4000, 3000));
    f.Add(Kind::Label, "text", Line(100, 100, "Choose"), &page);
    f.Add(Kind::PictureBox, "front", Box(0, 0, 4000, 3000));
  });
  form.Show();
  form.Find("customFrame")->ZOrderFront();
  EXPECT_EQ(out.str(),
            "[00:00.000] frmMain shown \"frmMain\"\n"
            "[00:00.000] frmMain.customFrame to front\n");
}

// A form with one timer of each kind: the program ends with 7 when the work timer has ticked
// three times (at 1.5 s), and with 9 when the animation has played for 20 s (which it never
// should reach once the script has ended).
int PlayWithTimers(bool animation, bool work, const char* script) {
  VirtualProgram v;
  Form& form = v.program.form<TestForm<1>>("frmMain", [&](Form& f) {
    Control& dots = f.Add(Kind::Timer, "labelTimer",
                          Design{.enabled = animation, .interval = 200, .animation = true});
    dots.onTick = [&v, count = 0]() mutable {
      if (++count == 100) v.program.End(9);
    };
    Control& steps = f.Add(Kind::Timer, "progressTimer", TimerDesign(500, work));
    steps.onTick = [&v, count = 0]() mutable {
      if (++count == 3) v.program.End(7);
    };
  });
  std::string error;
  v.program.SetScript(Script::Parse(script, &error));
  EXPECT_EQ(error, "");
  return v.program.Run([&form] { form.Show(); });
}

TEST(VirtualClockIdle, AnEndedScriptDoesNotWaitOnAnimationsButDoesOnWork) {
  EXPECT_EQ(PlayWithTimers(true, false, "wait 1000\n"), kExitIdle);
  EXPECT_EQ(PlayWithTimers(true, true, "wait 1000\n"), 7);
  // While the script still has steps, animations go on.
  EXPECT_EQ(PlayWithTimers(true, false, "wait 1000\nexpect frmMain.caption = \"x\"\n"),
            kExitScriptFailed);
}

}  // namespace
}  // namespace vu::toolkit::testing
