// The headless host: the virtual clock's jumps match stepping, the real clock's waits cost no
// processor time, a program with nothing left to happen ends, transcripts are deterministic.
#include <gtest/gtest.h>

#include <chrono>
#include <ctime>
#include <sstream>

#include "test_forms.h"
#include "toolkit/headless/transcript.h"
#include "toolkit/script.h"

namespace vu::toolkit::testing {
namespace {

// A scanning page: a random-paced progress bar, a cycling status label, a tick that appears
// when the bar is full, and a scripted Close that is resumed.
std::string PlayScanningPage(bool stepWithDoEvents) {
  std::ostringstream transcript;
  VirtualProgram v(&transcript);
  Form& form = v.program.form<TestForm<1>>("frmMain", [](Form& f) {
    Control& panel = f.Add(Kind::PictureBox, "findspaceFrame", Box(0, 0, 4000, 3000));
    f.Add(Kind::Label, "statusLabel", Design{.caption = "Initializing"}, &panel);
    f.Add(Kind::ProgressBar, "ProgressBar", {}, &panel);
    f.Add(Kind::Image, "brokenTick", Design{.visible = false, .picture = "tick"}, &panel);
    f.Add(Kind::CommandButton, "closeButton", {});
    f.Add(Kind::Timer, "progressTimer", TimerDesign(100));
    f.Add(Kind::Timer, "labelTimer", TimerDesign(200));
  });
  v.program.form<TestForm<2>>("frmConfirm", [](Form& f) {
    Control& resume = f.Add(Kind::CommandButton, "Command2", {});
    resume.onClick = [&f] { f.Hide(); };
  });
  Control& bar = *form.Find("ProgressBar");
  Control& progress = *form.Find("progressTimer");
  Control& label = *form.Find("statusLabel");
  progress.onTick = [&] {
    progress.SetInterval(static_cast<int>(v.program.Rnd() * 300 + 200 + 0.5f));
    const int step = static_cast<int>(v.program.Rnd() * 6) + 1;
    if (bar.value() + step >= 100) {
      bar.SetValue(100);
      progress.SetEnabled(false);
    } else {
      bar.SetValue(bar.value() + step);
    }
  };
  form.Find("labelTimer")->onTick = [&] {
    label.SetCaption(label.caption() == "Initializing. . ."
                         ? "Initializing"
                         : label.caption() + (label.caption() == "Initializing" ? "." : " ."));
  };
  form.Find("closeButton")->onClick = [&] { v.program.FindForm("frmConfirm")->ShowModal(); };
  std::string error;
  auto script = Script::Parse(
      "until frmMain.statusLabel.caption = \"Initializing. .\" within 100000\n"
      "click frmMain.closeButton\n"
      "wait 700\n"
      "click frmConfirm.Command2\n",
      &error);
  v.program.SetScript(std::move(script));
  const int code = v.program.Run([&] {
    form.Show();
    while (bar.value() < 100) {
      if (stepWithDoEvents) {
        v.host.DoEvents();
      } else {
        v.host.WaitForEvent();
      }
    }
    form.Find("brokenTick")->SetVisible(true);
    v.program.End(0);
  });
  transcript << "exit " << code << " at " << v.host.NowMs() << "\n";
  return transcript.str();
}

TEST(VirtualClock, WaitingJumpsGiveTheSameRunAsSteppingEveryMillisecond) {
  const std::string jumped = PlayScanningPage(false);
  const std::string stepped = PlayScanningPage(true);
  EXPECT_EQ(jumped, stepped);
  EXPECT_EQ(jumped, PlayScanningPage(false));  // and the same on every start
  EXPECT_NE(jumped.find("frmConfirm opens"), std::string::npos) << jumped;
  EXPECT_NE(jumped.find("frmMain.brokenTick appears"), std::string::npos) << jumped;
}

TEST(RealClock, WaitingForATimerSleepsInsteadOfSpinning) {
  // The timer counts from the host's start, so the wall clock does too: a loaded machine may take
  // a while to build the form.
  const auto wallBefore = std::chrono::steady_clock::now();
  HeadlessHost host(HeadlessOptions{.virtualClock = false});
  Program program(host);
  Form& form = program.form<TestForm<1>>(
      "frmMain", [](Form& f) { f.Add(Kind::Timer, "waitTimer", TimerDesign(300)); });
  Control& timer = *form.Find("waitTimer");
  timer.onTick = [&] { timer.SetEnabled(false); };
  const std::clock_t cpuBefore = std::clock();
  while (timer.enabled())
    host.WaitForEvent();
  const double cpuMs = 1000.0 * static_cast<double>(std::clock() - cpuBefore) / CLOCKS_PER_SEC;
  const auto wallMs = std::chrono::duration_cast<std::chrono::milliseconds>(
                          std::chrono::steady_clock::now() - wallBefore)
                          .count();
  EXPECT_GE(wallMs, 290);
  EXPECT_LT(cpuMs, 50.0);
  EXPECT_GE(host.NowMs(), 300);
}

TEST(Idle, AProgramWithNothingLeftToHappenEndsWithStatus4) {
  VirtualProgram v;
  bool afterModal = false;
  Form& dialog = v.program.form<TestForm<1>>(
      "frmMustSelect", [](Form& f) { f.Add(Kind::CommandButton, "Command1", {}); });
  const int code = v.program.Run([&] {
    dialog.ShowModal();  // no timer, no script: nobody can ever close it
    afterModal = true;
  });
  EXPECT_EQ(code, kExitIdle);
  EXPECT_FALSE(afterModal);
  EXPECT_EQ(v.errors.str(), "program is idle: nothing left to happen\n");

  VirtualProgram main;
  EXPECT_EQ(main.program.Run({}), kExitIdle);
}

TEST(Screen, ConvertsAtTheMachinesLogicalResolution) {
  for (auto [dpi, twips] : {std::pair{96, 15}, {120, 12}, {144, 10}}) {
    HeadlessHost host(HeadlessOptions{.screenWidthPixels = 1024, .pixelsPerInch = dpi});
    EXPECT_EQ(host.TwipsPerPixelX(), twips);
    EXPECT_EQ(host.ScreenWidthPixels(), 1024);
  }
}

class TranscriptTest : public ::testing::Test {
 protected:
  TranscriptTest() : v(&out) {
    form = &v.program.form<TestForm<1>>("frmMain", [this](Form& f) {
      back = &f.Add(Kind::PictureBox, "customFrame", Box(100, 100, 4000, 3000));
      hidden = &f.Add(Kind::Label, "Label4", Design{.caption = "Customize Settings"}, back);
      front = &f.Add(Kind::PictureBox, "findspaceFrame", Box(100, 100, 4000, 3000));
      status = &f.Add(Kind::Label, "statusLabel", Design{.caption = "Initializing"}, front);
      bar = &f.Add(Kind::ProgressBar, "ProgressBar", {}, front);
      button = &f.Add(Kind::CommandButton, "backButton", {});
    });
  }
  std::ostringstream out;
  VirtualProgram v;
  Form* form = nullptr;
  Control *back = nullptr, *hidden = nullptr, *front = nullptr, *status = nullptr, *bar = nullptr,
          *button = nullptr;
};

TEST_F(TranscriptTest, ReportsOnlyWhatAUserCanSee) {
  status->SetCaption("before the form is shown");
  form->Show();
  hidden->SetCaption("behind the front panel");
  status->SetCaption("Initializing.");
  status->SetBold(true);
  v.StepTo(1500);
  button->SetEnabled(false);
  back->ZOrderFront();
  status->SetCaption("behind now");
  hidden->SetVisible(false);
  hidden->SetVisible(true);
  form->SetCaption("Custom");
  form->Hide();
  form->SetCaption("not shown");
  EXPECT_EQ(out.str(),
            "[00:00.000] frmMain shown \"frmMain\"\n"
            "[00:00.000] frmMain.statusLabel \"Initializing.\"\n"
            "[00:00.000] frmMain.statusLabel bold\n"
            "[00:01.500] frmMain.backButton disabled\n"
            "[00:01.500] frmMain.customFrame to front\n"
            "[00:01.500] frmMain.Label4 hides\n"
            "[00:01.500] frmMain.Label4 shows \"behind the front panel\"\n"
            "[00:01.500] frmMain caption \"Custom\"\n"
            "[00:01.500] frmMain hidden\n");
}

TEST_F(TranscriptTest, ReportsTheProgressBarAtEveryTenthOfItsRange) {
  form->Show();
  for (int value = 3; value <= 99; value += 3)
    bar->SetValue(value);
  bar->SetValue(100);
  bar->SetValue(0);
  std::string expected = "[00:00.000] frmMain shown \"frmMain\"\n";
  for (const char* value : {"12", "21", "30", "42", "51", "60", "72", "81", "90", "100", "0"}) {
    expected += std::string("[00:00.000] frmMain.ProgressBar ") + value + "\n";
  }
  EXPECT_EQ(out.str(), expected);
}

TEST(TranscriptStamp, CountsMinutesSecondsAndMilliseconds) {
  EXPECT_EQ(Transcript::Stamp(0), "[00:00.000] ");
  EXPECT_EQ(Transcript::Stamp(61001), "[01:01.001] ");
  EXPECT_EQ(Transcript::Stamp(3600000 + 59999), "[60:59.999] ");
}

}  // namespace
}  // namespace vu::toolkit::testing
