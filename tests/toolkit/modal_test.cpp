// Modal display and End: the caller waits while other timers tick, input elsewhere is blocked,
// and End leaves every nested loop at once without another handler running.
#include <gtest/gtest.h>

#include <vector>

#include "test_forms.h"

namespace vu::toolkit::testing {
namespace {

struct Wizard {
  explicit Wizard(VirtualProgram& v) {
    main = &v.program.form<TestForm<1>>("frmMain", [this](Form& f) {
      close = &f.Add(Kind::CommandButton, "closeButton", {});
      progress = &f.Add(Kind::Timer, "progressTimer", TimerDesign(100));
    });
    dialog = &v.program.form<TestForm<2>>("frmConfirm", [this](Form& f) {
      resume = &f.Add(Kind::CommandButton, "Command2", {});
      exit = &f.Add(Kind::CommandButton, "Command1", {});
      inner = &f.Add(Kind::CommandButton, "Command3", {});
      hideTimer = &f.Add(Kind::Timer, "hideTimer", TimerDesign(0, false));
    });
    nested = &v.program.form<TestForm<3>>("frmNested", [this](Form& f) {
      ok = &f.Add(Kind::CommandButton, "okButton", {});
      hideNested = &f.Add(Kind::Timer, "hideNested", TimerDesign(0, false));
    });
    resume->onClick = [this] { dialog->Hide(); };
    hideTimer->onTick = [this] {
      hideTimer->SetEnabled(false);
      dialog->Hide();
    };
    hideNested->onTick = [this] {
      hideNested->SetEnabled(false);
      nested->Hide();
    };
    progress->onTick = [this] { ++progressTicks; };
    main->Show();
  }

  Form* main = nullptr;
  Form* dialog = nullptr;
  Form* nested = nullptr;
  Control *close = nullptr, *progress = nullptr, *resume = nullptr, *exit = nullptr,
          *inner = nullptr, *hideTimer = nullptr, *ok = nullptr, *hideNested = nullptr;
  int progressTicks = 0;
};

TEST(Modal, SuspendsTheCallerWhileOtherTimersTickAndBlocksOtherForms) {
  VirtualProgram v;
  Wizard w(v);
  std::vector<std::string> log;
  w.close->onClick = [&] {
    log.push_back("close");
    w.hideTimer->SetInterval(550);
    w.hideTimer->SetEnabled(true);
    w.dialog->ShowModal();
    log.push_back("returned at " + std::to_string(v.host.NowMs()));
  };
  w.progress->onTick = [&] {
    ++w.progressTicks;
    if (w.progressTicks == 2) {
      // Input to the wizard is blocked while the dialog is up; the dialog itself takes it.
      log.push_back(w.close->UserClick() ? "wizard took input" : "wizard blocked");
      log.push_back(w.main->enabled() ? "wizard enabled" : "wizard disabled");
    }
  };
  v.StepTo(50);
  EXPECT_TRUE(w.close->UserClick());
  EXPECT_EQ(w.progressTicks, 6);  // 100 .. 600 while the dialog was up
  EXPECT_EQ(log, (std::vector<std::string>{"close", "wizard blocked", "wizard disabled",
                                           "returned at 600"}));
  EXPECT_TRUE(w.main->enabled());
  EXPECT_EQ(v.program.modalForm(), nullptr);
  EXPECT_FALSE(w.dialog->modal());
}

TEST(Modal, NestedDialogsBlockEveryFormButTheInnermost) {
  VirtualProgram v;
  Wizard w(v);
  bool dialogBlocked = false, mainBlocked = false, nestedTakesInput = false;
  std::vector<std::int64_t> returns;
  w.inner->onClick = [&] {
    w.hideNested->SetInterval(100);
    w.hideNested->SetEnabled(true);
    w.nested->ShowModal();
    returns.push_back(v.host.NowMs());
  };
  w.hideNested->onTick = [&] {
    dialogBlocked = !w.dialog->enabled() && !w.resume->UserClick();
    mainBlocked = !w.main->enabled() && !w.close->UserClick();
    nestedTakesInput = w.nested->enabled() && w.ok->TakesInput();
    w.hideNested->SetEnabled(false);
    w.nested->Hide();
  };
  bool clickedInner = false;
  w.progress->onTick = [&] {
    if (v.program.modalForm() != w.dialog || clickedInner) return;
    clickedInner = true;
    EXPECT_TRUE(w.inner->UserClick());
  };
  w.close->onClick = [&] {
    w.hideTimer->SetInterval(300);
    w.hideTimer->SetEnabled(true);
    w.dialog->ShowModal();
    returns.push_back(v.host.NowMs());
  };
  EXPECT_TRUE(w.close->UserClick());
  EXPECT_TRUE(dialogBlocked);
  EXPECT_TRUE(mainBlocked);
  EXPECT_TRUE(nestedTakesInput);
  // The nested dialog closes at 200, the outer one at 300.
  EXPECT_EQ(returns, (std::vector<std::int64_t>{200, 300}));
  EXPECT_EQ(v.program.modalForm(), nullptr);
  EXPECT_TRUE(w.main->enabled());
}

TEST(End, LeavesNestedLoopsAtOnceAndNoFurtherHandlerRuns) {
  VirtualProgram v;
  Wizard w(v);
  std::vector<std::string> log;
  // Due at the same moment as the End, but created later: it must never run.
  Control& other = w.main->Add(Kind::Timer, "otherTimer", TimerDesign(250));
  other.onTick = [&] { log.push_back("other tick"); };
  w.exit->onClick = [&] {
    log.push_back("exit");
    v.program.End(7);
  };
  w.progress->onTick = [&] {
    // A long run inside a tick, yielding, with the exit clicked from inside the dialog.
    w.close->onClick = [&] {
      w.dialog->ShowModal();
      log.push_back("after dialog");
    };
    w.close->UserClick();
    log.push_back("after close");
  };
  w.hideTimer->onTick = [&] { w.exit->UserClick(); };
  w.hideTimer->SetInterval(250);
  w.hideTimer->SetEnabled(true);
  const int code = v.program.Run([&] { w.main->Show(); });
  EXPECT_EQ(code, 7);
  EXPECT_EQ(log, (std::vector<std::string>{"exit"}));
  EXPECT_TRUE(v.program.ended());
  EXPECT_FALSE(w.close->UserClick());
  EXPECT_FALSE(v.program.RunDueTimers(10000));
}

}  // namespace
}  // namespace vu::toolkit::testing
