#include "optimizer/app/frm_main.h"

#include <string>
#include <utility>

#include "common/large_font.h"
#include "common/vb.h"
#include "optimizer/app/frm_confirm.h"
#include "optimizer/app/frm_error.h"
#include "optimizer/app/frm_must_select.h"
#include "optimizer/app/help_topics.h"
#include "optimizer/app/optimizer_app.h"
#include "optimizer/app/selection_pages.h"
#include "optimizer/engine/run.h"
#include "optimizer/engine/tweaks.h"
#include "platform/status.h"

namespace vu::optimizer {

using toolkit::Control;
using toolkit::Design;
using toolkit::Kind;

namespace {

constexpr int kButtonTop = 3240;
constexpr int kButtonHeight = 375;
constexpr int kLastPage = kSelectionPageCount - 1;

constexpr const char* kContinueText = "Click '&Next' to continue";
constexpr const char* kBeginText = "Click '&Next' to begin optimization";
constexpr const char* kResultsCaption = "Finished Optimizing";

toolkit::FormDesign MainDesign() {
  return toolkit::FormDesign{.caption = "Welcome",
                             .clientWidth = 6870,
                             .clientHeight = 3720,
                             .border = toolkit::BorderStyle::FixedSingle,
                             .icon = "optimizer"};
}

Design Button(int left, int width, const char* caption) {
  return Design{
      .left = left, .top = kButtonTop, .width = width, .height = kButtonHeight, .caption = caption};
}

Design Separator(int y, toolkit::Color color) {
  return Design{.left = 120, .top = y, .width = 6720, .height = y, .foreColor = color};
}

Design Holder(int top, const char* picture) {
  return Design{
      .left = 2040, .top = top, .width = 252, .height = 132, .visible = false, .picture = picture};
}

Design TimerDesign(int interval, const char* tag = "", bool animation = false) {
  return Design{.enabled = false, .interval = interval, .tag = tag, .animation = animation};
}

}  // namespace

FrmMain::FrmMain(toolkit::Program& program, OptimizerApp& app)
    : Form(program, "frmMain", MainDesign()),
      smallPic(Add(
          Kind::PictureBox, "smallPic",
          Design{.left = 75, .top = 30, .width = 1815, .height = 3015, .picture = "side_small"})),
      bigMain(Add(Kind::PictureBox, "bigMain", Holder(3240, "side_large"))),
      bigExc(Add(Kind::PictureBox, "bigExc", Holder(3360, "dialog_large"))),
      line3(Add(Kind::Line, "Line3", Separator(3090, kGreyLine))),
      line2(Add(Kind::Line, "Line2", Separator(3110, toolkit::kSysScrollBar))),
      // Created back to front: the welcome page lies in front of the other four.
      result(AddResultFrame(*this)),
      scan(AddFindspaceFrame(*this)),
      selection(AddCustomTypesFrame(*this)),
      custom(AddCustomFrame(*this)),
      start(AddStartFrame(*this)),
      helpButton(Add(Kind::CommandButton, "helpButton", Button(120, 1690, "Optimizer &Help"))),
      backButton(Add(Kind::CommandButton, "backButton",
                     [] {
                       Design design = Button(2715, 1215, "&Back");
                       design.enabled = false;
                       return design;
                     }())),
      nextButton(Add(Kind::CommandButton, "nextButton",
                     [] {
                       Design design = Button(4035, 1215, "&Next");
                       design.bold = true;
                       design.tabIndex = 0;
                       return design;
                     }())),
      closeButton(Add(Kind::CommandButton, "closeButton", Button(5475, 1215, "&Close"))),
      waitTimer(Add(Kind::Timer, "waitTimer", TimerDesign(0, "off"))),
      // The status line's dots and the start-up bar only animate: no step waits for them.
      labelTimer(Add(Kind::Timer, "labelTimer", TimerDesign(200, "", true))),
      startProgressTimer(Add(Kind::Timer, "startProgressTimer", TimerDesign(100, "", true))),
      progressTimer(Add(Kind::Timer, "progressTimer", TimerDesign(500))),
      notNeededPicture(Add(Kind::Image, "notNeededPicture",
                           Design{.left = 1935,
                                  .top = kButtonTop + 75,
                                  .width = 225,
                                  .height = 225,
                                  .visible = false,
                                  .picture = "info"})),
      notNeededLabel(Add(Kind::Label, "notNeededLabel",
                         Design{.left = 2220,
                                .top = kButtonTop + 90,
                                .width = 3135,
                                .height = 210,
                                .caption = std::string(kNotNeededText),
                                .visible = false,
                                .wordWrap = false})),
      app_(app) {
  WireEvents();
}

void FrmMain::WireEvents() {
  nextButton.onClick = [this] { NextClick(); };
  backButton.onClick = [this] { BackClick(); };
  closeButton.onClick = [this] { CloseClick(); };
  helpButton.onClick = [this] { HelpClick(); };
  // F1 opens the topic of the page in front; Next is hidden only while a run works.
  helpContext = [this] {
    return WizardHelpContext(caption(), selection.titleLabel.caption(), !nextButton.visible());
  };
  // The title bar's close box and Alt+F4 do what the Close button does, when it can be pressed.
  onClose = [this] { closeButton.UserClick(); };
  selection.checkLabel.onClick = [this] { CheckClick(); };
  result.bootCheck.onClick = [this] { closeButton.SetFocus(); };
  start.welcomeOption1.onMouseUp = [this] { nextButton.SetFocus(); };
  start.welcomeOption2.onMouseUp = [this] { nextButton.SetFocus(); };

  waitTimer.onTick = [this] { WaitTimerTick(); };
  labelTimer.onTick = [this] { LabelTimerTick(); };
  startProgressTimer.onTick = [this] { StartProgressTimerTick(); };
  progressTimer.onTick = [this] { ProgressTimerTick(); };
}

void FrmMain::Load() {
  if (!common::IsSet(common::IsLargeFontScreen(app_.machine().system()))) return;
  smallPic.SetPicture(bigMain.picture());
  smallPic.Move(70, 25);
  // At 12 twips per pixel, lines 15 twips apart can fall on one pixel row: keep pairs 20 apart.
  line3.SetLine(96, 3096, 6720, 3096);
  line2.SetLine(96, 3116, 6720, 3116);
  start.line4.SetLine(0, 515, 4680, 515);
}

void FrmMain::NextClick() {
  const std::string page = caption();
  if (page == "Welcome") {
    if (start.welcomeOption1.value() != 0) {
      SetCaption("Optimizing your system");
      StartRun();
    } else {
      SetCaption("Custom");
      backButton.SetEnabled(true);
      start.frame.SetVisible(false);
      custom.frame.SetVisible(true);
      custom.frame.ZOrderFront();
    }
  } else if (page == "Custom") {
    SetCaption("Custom Settings");
    selection.frame.ZOrderFront();
  } else if (page == "Custom Settings") {
    const int index = SelectionPageIndex(selection.titleLabel.caption());
    if (index >= 0 && index < kLastPage) {
      ShowPage(index + 1, false);
    } else if (index == kLastPage) {
      if (app_.state().flags.Any()) {
        StartRun();
      } else {
        program().form<FrmMustSelect>(app_).ShowModal();
      }
    }
  }
}

void FrmMain::BackClick() {
  const std::string page = caption();
  if (page == "Custom") {
    SetCaption("Welcome");
    nextButton.SetFocus();
    backButton.SetEnabled(false);
    start.frame.SetVisible(true);
    start.frame.ZOrderFront();
  } else if (page == "Custom Settings") {
    const int index = SelectionPageIndex(selection.titleLabel.caption());
    if (index == 0) {
      SetCaption("Custom");
      custom.frame.ZOrderFront();
      nextButton.SetFocus();
    } else if (index > 0) {
      ShowPage(index - 1, true);
    }
  }
}

void FrmMain::ShowPage(int index, bool back) {
  const SelectionPage& page = kSelectionPages[index];
  // The title goes first: setting the check box raises its click, which stores the box into
  // the flag of the page the title names.
  selection.titleLabel.SetCaption(std::string(page.title));
  selection.mainLabel.SetCaption(std::string(page.mainText));
  selection.checkLabel.SetCaption(std::string(page.checkText));
  selection.complainLabel.SetCaption(std::string(page.complaint));
  selection.removeLabel.SetCaption(std::string(page.offer));
  if (back && index == kLastPage - 1) selection.customBottomLabel.SetCaption(kContinueText);
  if (back) nextButton.SetFocus();
  const bool needed = StepNeeded(app_.machine().system(), page.flag);
  selection.notNeededMark.SetVisible(!needed);
  selection.notNeededLine.SetVisible(!needed);
  selection.checkLabel.SetValue(common::IsSet(app_.state().flags.For(page.flag)) ? 1 : 0);
  if (!back && index == kLastPage) selection.customBottomLabel.SetCaption(kBeginText);
}

void FrmMain::CheckClick() {
  const int index = SelectionPageIndex(selection.titleLabel.caption());
  if (index >= 0) {
    app_.state().flags.For(kSelectionPages[index].flag) =
        selection.checkLabel.value() == 1 ? common::kTrue : common::kFalse;
  }
  nextButton.SetFocus();
}

void FrmMain::CloseClick() {
  if (caption() == kResultsCaption) {
    if (result.bootCheck.value() == 1) {
      RunGuarded(app_, [this] { RestartWindows(app_.machine().system()); });
    }
    program().End(0);
  }
  if (nextButton.visible()) nextButton.SetFocus();
  progressTimer.SetEnabled(false);
  program().form<FrmConfirm>(app_).ShowModal();
}

void FrmMain::HelpClick() {
  if (nextButton.visible()) nextButton.SetFocus();
  const std::string help = HelpFilePath(app_.machine().system().ProgramFolder());
  // The folder may hold blanks ("Program Files"): the viewer needs the path in quotes.
  app_.machine().system().StartProgram("winhlp32 \"" + help + "\"", SW_SHOWMINIMIZED);
}

void FrmMain::StartRun() {
  if (!app_.BeginRun()) return;
  scan.frame.ZOrderFront();
  backButton.SetVisible(false);
  nextButton.SetVisible(false);
  helpButton.SetVisible(false);
  Engine engine = app_.engine();
  RunOptimization(engine, app_.operations());
}

}  // namespace vu::optimizer
