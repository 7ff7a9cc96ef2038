// Automation scripts: validation before anything runs, failures with status 3, and steps that
// go on while the program sits inside a handler's nested loop or a modal dialog.
#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "test_forms.h"
#include "toolkit/script.h"

namespace vu::toolkit::testing {
namespace {

TEST(ScriptParse, AcceptsEveryCommandWithCommentsAndEscapes) {
  std::string error;
  auto script = Script::Parse(
      "# a scenario\n"
      "\n"
      "click frmMain.nextButton   # go on\n"
      "set frmMain.checkLabel 0\n"
      "set frmDir.Text1 \"C:\\Program Files\\Velloria\"\n"
      "wait 250\n"
      "until frmMain.ProgressBar.value = \"100\" within 90000\n"
      "until frmMain.caption = \"Finished Optimizing\"\r\n"
      "expect frmMain.statusLabel.caption = \"say \\\"hi\\\" # not a comment\"\n"
      "browse \"C:\\\\\"\n"
      "browse cancel\n",
      &error);
  ASSERT_NE(script, nullptr) << error;
  const auto& steps = script->steps();
  ASSERT_EQ(steps.size(), 9u);
  EXPECT_EQ(steps[0].line, 3);
  EXPECT_EQ(steps[0].text, "click frmMain.nextButton");
  EXPECT_EQ(steps[0].control, "nextButton");
  EXPECT_EQ(steps[2].value, "C:\\Program Files\\Velloria");
  EXPECT_EQ(steps[3].ms, 250);
  EXPECT_EQ(steps[4].ms, 90000);
  EXPECT_EQ(steps[4].property, Property::Value);
  EXPECT_EQ(steps[5].control, "");
  EXPECT_EQ(steps[5].ms, Script::kDefaultWithinMs);
  EXPECT_EQ(steps[6].value, "say \"hi\" # not a comment");
  EXPECT_EQ(steps[7].value, "C:\\");
  EXPECT_TRUE(steps[8].cancel);
}

TEST(ScriptParse, RejectsMalformedLinesNamingTheLine) {
  const char* bad[] = {
      "clik frmMain.nextButton",
      "click frmMain",
      "click frmMain.next.Button",
      "click frm-Main.nextButton",
      "set frmMain.checkLabel",
      "wait",
      "wait 1.5",
      "wait -3",
      "until frmMain.caption \"Welcome\"",
      "until frmMain.nextButton.colour = \"1\"",
      "until frmMain.value = \"1\"",
      "until frmMain.caption = \"Welcome\" within",
      "until frmMain.caption = \"Welcome\" inside 10",
      "expect frmMain.caption = \"Welcome\" within 10",
      "expect frmMain.caption = \"unterminated",
      "browse",
      "browse C:\\WINDOWS",
      "\"click\" frmMain.nextButton",
  };
  for (const char* line : bad) {
    std::string error;
    const std::string text = std::string("wait 1\n# fine\n") + line + "\nwait 2\n";
    EXPECT_EQ(Script::Parse(text, &error), nullptr) << line;
    EXPECT_EQ(error.rfind("script line 3: ", 0), 0u) << error;
    EXPECT_NE(error.find(line), std::string::npos) << error;
  }
}

TEST(PropertyText, SpellsValuesAsTheRunTimePrintsThem) {
  EXPECT_EQ(NumberText(100), "100");
  EXPECT_EQ(NumberText(37), "37");
  EXPECT_EQ(NumberText(2.5), "2.5");
  EXPECT_EQ(NumberText(0.1f), "0.1");
  EXPECT_EQ(NumberText(-0.0), "0");
  VirtualProgram v;
  Form& form = v.program.form<TestForm<1>>("frmMain", [](Form& f) {
    f.Add(Kind::OptionButton, "WelcomeOption1", Design{.value = -1});
    f.Add(Kind::CheckBox, "bootCheck", Design{.value = 1});
    f.Add(Kind::Label, "Label1", Design{.caption = "Welcome", .visible = false, .bold = true});
  });
  EXPECT_EQ(PropertyText(*form.Find("WelcomeOption1"), Property::Value), "True");
  EXPECT_EQ(PropertyText(*form.Find("bootCheck"), Property::Value), "1");
  EXPECT_EQ(PropertyText(*form.Find("Label1"), Property::Bold), "True");
  EXPECT_EQ(PropertyText(*form.Find("Label1"), Property::Visible), "False");
  EXPECT_EQ(PropertyText(form, Property::Caption), "frmMain");
}

// A wizard whose Start button runs a long job inside its click handler, yielding while it
// waits, and whose Close opens a modal confirmation.
class ScriptRun : public ::testing::Test {
 protected:
  ScriptRun() {
    main = &v.program.form<TestForm<1>>("frmMain", [this](Form& f) {
      status = &f.Add(Kind::Label, "statusLabel", Design{.caption = "Idle"});
      start = &f.Add(Kind::CommandButton, "startButton", {});
      stop = &f.Add(Kind::CommandButton, "stopButton", {});
      close = &f.Add(Kind::CommandButton, "closeButton", {});
      bar = &f.Add(Kind::ProgressBar, "ProgressBar", {});
      pacer = &f.Add(Kind::Timer, "progressTimer", TimerDesign(100, false));
      check = &f.Add(Kind::CheckBox, "bootCheck", Design{.value = 1});
    });
    confirm = &v.program.form<TestForm<2>>("frmConfirm", [this](Form& f) {
      f.Add(Kind::CommandButton, "Command2", {}).onClick = [this] { confirm->Hide(); };
      f.Add(Kind::CommandButton, "Command1", {}).onClick = [this] { v.program.End(0); };
    });
    pacer->onTick = [this] {
      if (bar->value() + 10 >= 100) {
        bar->SetValue(100);
        pacer->SetEnabled(false);
      } else {
        bar->SetValue(bar->value() + 10);
      }
    };
    start->onClick = [this] {
      log.push_back("start at " + std::to_string(v.host.NowMs()));
      status->SetCaption("Running");
      stopRequested = false;
      while (!stopRequested)
        v.host.WaitForEvent();
      status->SetCaption("Stopped");
      log.push_back("stopped at " + std::to_string(v.host.NowMs()));
    };
    stop->onClick = [this] { stopRequested = true; };
    close->onClick = [this] {
      confirm->ShowModal();
      log.push_back("resumed");
    };
    check->onClick = [this] { log.push_back("check " + NumberText(check->value())); };
  }

  int RunScript(const std::string& text) {
    std::string error;
    auto script = Script::Parse(text, &error);
    EXPECT_NE(script, nullptr) << error;
    if (!script) return -1;
    script->SetErrorStream(v.errors);
    script->SetBrowseAnswer([this](std::optional<std::string> answer) {
      log.push_back("browse " + answer.value_or("<cancel>"));
    });
    v.program.SetScript(std::move(script));
    return v.program.Run([this] { main->Show(); });
  }

  VirtualProgram v;
  Form *main = nullptr, *confirm = nullptr;
  Control *status = nullptr, *start = nullptr, *stop = nullptr, *close = nullptr, *bar = nullptr,
          *pacer = nullptr, *check = nullptr;
  bool stopRequested = false;
  std::vector<std::string> log;
};

TEST_F(ScriptRun, StepsGoOnInsideAHandlersNestedLoopAndModalDialogs) {
  const int code = RunScript(
      "click frmMain.startButton\n"
      "until frmMain.statusLabel.caption = \"Running\"\n"
      "wait 500\n"
      "click frmMain.closeButton\n"  // from inside the start handler's loop
      "expect frmConfirm.visible = \"True\"\n"
      "expect frmMain.enabled = \"False\"\n"
      "click frmConfirm.Command2\n"  // from inside the modal loop
      "set frmMain.bootCheck 0\n"
      "browse \"C:\\Program Files\"\n"
      "browse cancel\n"
      "click frmMain.stopButton\n"
      "until frmMain.statusLabel.caption = \"Stopped\" within 10\n"
      "click frmMain.closeButton\n"
      "click frmConfirm.Command1\n");
  EXPECT_EQ(code, 0) << v.errors.str();
  EXPECT_EQ(
      log, (std::vector<std::string>{"start at 1", "resumed", "check 0", "browse C:\\Program Files",
                                     "browse <cancel>", "stopped at 510"}));
}

TEST_F(ScriptRun, UntilWaitsForTimersAndFailsWhenTimeRunsOut) {
  pacer->SetEnabled(true);
  EXPECT_EQ(RunScript("until frmMain.ProgressBar.value = \"100\" within 2000\n"
                      "expect frmMain.ProgressBar.value = \"100\"\n"
                      "until frmMain.ProgressBar.value = \"50\" within 300\n"),
            kExitScriptFailed);
  EXPECT_EQ(v.errors.str(),
            "script line 3: until frmMain.ProgressBar.value = \"50\" within 300\n"
            "  found: \"100\" after 300 ms\n");
  // Full at 1000, seen at 1001, expect at 1002, timed out 300 ms after that.
  EXPECT_EQ(v.host.NowMs(), 1302);
}

TEST(ScriptFailure, ReportsTheLineAndWhatWasFound) {
  struct Case {
    const char* script;
    const char* found;
  } cases[] = {
      {"expect frmMain.statusLabel.caption = \"Busy\"", "\"Idle\""},
      {"click frmNowhere.Command1", "form frmNowhere is not loaded"},
      {"click frmMain.helpButton", "frmMain has no control helpButton"},
      {"click frmConfirm.Command2", "click refused: frmConfirm is not shown"},
      {"set frmMain.statusLabel \"x\"", "frmMain.statusLabel takes no value from the user"},
      {"set frmMain.bootCheck 7", "a check box takes 0 or 1"},
  };
  for (const Case& c : cases) {
    VirtualProgram fresh;
    Form& form = fresh.program.form<TestForm<1>>("frmMain", [](Form& f) {
      f.Add(Kind::Label, "statusLabel", Design{.caption = "Idle"});
      f.Add(Kind::CheckBox, "bootCheck", {});
    });
    fresh.program.form<TestForm<2>>("frmConfirm",
                                    [](Form& f) { f.Add(Kind::CommandButton, "Command2", {}); });
    std::string error;
    auto script = Script::Parse(c.script, &error);
    ASSERT_NE(script, nullptr) << error;
    script->SetErrorStream(fresh.errors);
    fresh.program.SetScript(std::move(script));
    EXPECT_EQ(fresh.program.Run([&] { form.Show(); }), kExitScriptFailed) << c.script;
    EXPECT_EQ(fresh.errors.str(),
              std::string("script line 1: ") + c.script + "\n  found: " + c.found + "\n");
  }
}

TEST_F(ScriptRun, ClickIntoAFormBlockedByAModalDialogFails) {
  EXPECT_EQ(RunScript("click frmMain.closeButton\n"
                      "click frmMain.startButton\n"),
            kExitScriptFailed);
  EXPECT_NE(v.errors.str().find("input to frmMain is blocked by frmConfirm"), std::string::npos)
      << v.errors.str();
  EXPECT_TRUE(log.empty());  // neither resumed nor started
}

}  // namespace
}  // namespace vu::toolkit::testing
