#include "optimizer/app/frm_main_panels.h"

#include <string>
#include <string_view>
#include <utility>

#include "optimizer/app/selection_pages.h"
#include "optimizer/engine/run.h"

namespace vu::optimizer {

using toolkit::Control;
using toolkit::Design;
using toolkit::Form;
using toolkit::Kind;

namespace {

constexpr int kPanelTop = 120;
constexpr int kPanelWidth = 4815;
constexpr int kScanPanelWidth = 4935;
constexpr int kPanelHeight = 2895;
constexpr int kTextLeft = 120;
constexpr int kTextWidth = kPanelWidth - 2 * kTextLeft;
constexpr int kBottomLineTop = 2520;

// The step rows of the scanning and results pages: two columns of five, in run order.
constexpr int kTickLeft[2] = {240, 2400};
constexpr int kStepLabelLeft[2] = {480, 2640};
constexpr int kStepLabelWidth[2] = {1905, 2160};
// Rows 225 apart (a tick's height): the note needs three lines and the backup line two below them.
constexpr int kResultRowTop[5] = {790, 1015, 1240, 1465, 1690};
constexpr int kScanRowTop[5] = {1000, 1230, 1460, 1690, 1920};
constexpr int kTickSize = 225;  // a 15 x 15 pixel picture

struct StepNames {
  const char* label;
  std::string_view caption;
  const char* tick;
};

// By Index(Step).
constexpr StepNames kScanStepNames[kStepCount] = {
    {"brokenLabel", "Broken links on system", "brokenTick"},
    {"registryLabel1", "System registry errors", "registryTick1"},
    {"cacheLabel", "VirtualCache", "cacheTick"},
    {"dosLabel", "DOS BootMenu", "dosTick"},
    {"uninstallLabel", "Invalid Uninstall info", "uninstallTick"},
    {"inetLabel", "Internet connection", "inetTick"},
    {"fileLabel", "File System", "fileTick"},
    {"startLabel", "Windows Startup folder", "startTick"},
    {"startmenuLabel1", "StartMenu speed", "startmenuTick1"},
    {"orphanedLabel", "Orphaned shared .dlls", "orphanedTick"},
};
constexpr StepNames kResultStepNames[kStepCount] = {
    {"linkLabel", kResultCaptions[0], "linksTick"},
    {"registryLabel", kResultCaptions[1], "registryTick"},
    {"vcacheLabel", kResultCaptions[2], "vcacheTick"},
    {"dosbootLabel", kResultCaptions[3], "dosbootTick"},
    {"uninstallLabel1", kResultCaptions[4], "uninstallTick1"},
    {"internetLabel", kResultCaptions[5], "internetTick"},
    {"filesystemLabel", kResultCaptions[6], "filesystemTick"},
    {"startupLabel", kResultCaptions[7], "startupTick"},
    {"startmenulabel", kResultCaptions[8], "startmenuTick"},
    {"orphanedLabel1", kResultCaptions[9], "orphanedTick1"},
};

Control& AddPanel(Form& form, const char* name, int left, int width) {
  return form.Add(Kind::PictureBox, name,
                  Design{.left = left, .top = kPanelTop, .width = width, .height = kPanelHeight});
}

Control& AddText(Form& form, Control& panel, const char* name, int top, int height,
                 std::string_view caption, bool bold = false) {
  return form.Add(Kind::Label, name,
                  Design{.left = kTextLeft,
                         .top = top,
                         .width = kTextWidth,
                         .height = height,
                         .caption = std::string(caption),
                         .bold = bold},
                  &panel);
}

Control& AddTitle(Form& form, Control& panel, const char* name, std::string_view caption) {
  return AddText(form, panel, name, 120, 255, caption, true);
}

// The two-line separator under a panel's title: grey above, the scroll-bar colour below.
void AddTitleSeparator(Form& form, Control& panel, const char* grey, const char* light, int right) {
  form.Add(Kind::Line, grey,
           Design{.left = 0, .top = 495, .width = right, .height = 495, .foreColor = kGreyLine},
           &panel);
  form.Add(Kind::Line, light,
           Design{.left = 0,
                  .top = 510,
                  .width = right,
                  .height = 510,
                  .foreColor = toolkit::kSysScrollBar},
           &panel);
}

LabelAndTick AddStepLine(Form& form, Control& panel, const StepNames& names, int index,
                         const int (&rowTop)[5], bool shown, toolkit::Color color) {
  const int column = index / 5;
  const int top = rowTop[index % 5];
  Control& tick = form.Add(Kind::Image, names.tick,
                           Design{.left = kTickLeft[column],
                                  .top = top,
                                  .width = kTickSize,
                                  .height = kTickSize,
                                  .visible = shown,
                                  .picture = "tick"},
                           &panel);
  Control& label = form.Add(Kind::Label, names.label,
                            Design{.left = kStepLabelLeft[column],
                                   .top = top + 15,
                                   .width = kStepLabelWidth[column],
                                   .height = 210,
                                   .caption = std::string(names.caption),
                                   .visible = shown,
                                   .foreColor = color,
                                   .wordWrap = false},
                            &panel);
  return LabelAndTick{label, tick};
}

Control& AddStatusLabel(Form& form, Control& panel, const char* name, int left,
                        std::string_view caption, bool visible) {
  return form.Add(Kind::Label, name,
                  Design{.left = left,
                         .top = 1680,
                         .width = kScanPanelWidth - 120 - left,
                         .height = 255,
                         .caption = std::string(caption),
                         .visible = visible,
                         .bold = true,
                         .fontSize = 9.75,
                         .foreColor = kBlue,
                         .wordWrap = false},
                  &panel);
}

}  // namespace

StartPanel AddStartFrame(Form& form) {
  Control& frame = AddPanel(form, "startFrame", 1980, kPanelWidth);
  AddTitle(form, frame, "Label1", "Welcome to the Velloria\u2122 Optimizer Wizzard!");
  Control& line1 = form.Add(
      Kind::Line, "Line1",
      Design{.left = 0, .top = 495, .width = 4680, .height = 495, .foreColor = kGreyLine}, &frame);
  Control& line4 = form.Add(
      Kind::Line, "Line4",
      Design{
          .left = 0, .top = 510, .width = 4680, .height = 510, .foreColor = toolkit::kSysScrollBar},
      &frame);
  AddText(form, frame, "Label6", 660, 435,
          "This wizzard will optimize your system by searching through it for mistakes that "
          "usually slow the system down.");
  Control& modes =
      form.Add(Kind::Frame, "Frame1",
               Design{.left = kTextLeft, .top = 1200, .width = kTextWidth, .height = 1095}, &frame);
  form.Add(Kind::Label, "Label7",
           Design{.left = 120,
                  .top = 240,
                  .width = kTextWidth - 240,
                  .height = 255,
                  .caption = "Please choose an Execution Mode and click 'Next' :"},
           &modes);
  Control& express = form.Add(Kind::OptionButton, "WelcomeOption1",
                              Design{.left = 360,
                                     .top = 540,
                                     .width = 3000,
                                     .height = 255,
                                     .caption = "Express (Velloria\u2122)",
                                     .value = -1},
                              &modes);
  Control& custom = form.Add(
      Kind::OptionButton, "welcomeOption2",
      Design{.left = 360, .top = 780, .width = 3000, .height = 255, .caption = "Custom"}, &modes);
  // Two lines high: at 8.25 pt the note does not fit on one line of the panel.
  AddText(form, frame, "Label2", 2400, 450,
          "Note : Custom mode is recommended for more advanced users.");
  return StartPanel{frame, express, custom, line1, line4};
}

CustomPanel AddCustomFrame(Form& form) {
  Control& frame = AddPanel(form, "customFrame", 2020, kPanelWidth);
  AddTitle(form, frame, "Label4", "Customize Settings");
  AddTitleSeparator(form, frame, "Line5", "Line6", 4680);
  AddText(form, frame, "Label8", 660, 630,
          "Optimizer is now going to take you through the different things that might be "
          "slowing down your computer, of which you must choose which to fix / remove.");
  AddText(form, frame, "Label3", kBottomLineTop, 255, "Click '&Next' to begin selection");
  return CustomPanel{frame};
}

SelectionPanel AddCustomTypesFrame(Form& form) {
  const SelectionPage& first = kSelectionPages[0];
  Control& frame = AddPanel(form, "customTypesFrame", 2020, kPanelWidth);
  Control& title = AddTitle(form, frame, "titleLabel", first.title);
  AddTitleSeparator(form, frame, "Line7", "Line8", 4680);
  Control& main = AddText(form, frame, "mainLabel", 600, 615, first.mainText);
  Control& complaint = AddText(form, frame, "complainLabel", 1260, 435, first.complaint, true);
  Control& offer = AddText(form, frame, "removeLabel", 1740, 255, first.offer);
  Control& check = form.Add(Kind::CheckBox, "checkLabel",
                            Design{.left = kTextLeft,
                                   .top = 2040,
                                   .width = kTextWidth,
                                   .height = 255,
                                   .caption = std::string(first.checkText),
                                   .value = 1},
                            &frame);
  Control& bottom =
      AddText(form, frame, "customBottomLabel", kBottomLineTop, 255, "Click '&Next' to continue");
  // Between the check box and the bottom line.
  Control& mark = form.Add(Kind::Image, "notNeededMark",
                           Design{.left = kTextLeft,
                                  .top = 2295,
                                  .width = kTickSize,
                                  .height = kTickSize,
                                  .visible = false,
                                  .picture = "info"},
                           &frame);
  Control& line = form.Add(Kind::Label, "notNeededLine",
                           Design{.left = kTextLeft + 300,
                                  .top = 2310,
                                  .width = kTextWidth - 300,
                                  .height = 210,
                                  .caption = std::string(kNothingToDoText),
                                  .visible = false,
                                  .wordWrap = false},
                           &frame);
  return SelectionPanel{frame, title, main, complaint, offer, check, bottom, mark, line};
}

ScanPanel AddFindspaceFrame(Form& form) {
  Control& frame = AddPanel(form, "findspaceFrame", 1920, kScanPanelWidth);
  AddTitle(form, frame, "Label14", "Optimizing your system");
  AddTitleSeparator(form, frame, "Line9", "Line10", 4800);
  form.Add(Kind::Label, "Label13",
           Design{.left = kTextLeft,
                  .top = 600,
                  .width = 4695,
                  .height = 435,
                  .caption = "Optimizer is now scanning your system for entities which would "
                             "usually slow it down unneccessarily."},
           &frame);
  Control& status = AddStatusLabel(form, frame, "statusLabel", 1920, "Initializing . . .", true);
  Control& status1 =
      AddStatusLabel(form, frame, "statusLabel1", 1080, "Analysing your system drive. . .", false);
  Control& status2 = AddStatusLabel(form, frame, "statusLabel2", 840,
                                    "Creating file map of your system. . .", false);

  auto steps = [&]<std::size_t... I>(std::index_sequence<I...>) {
    return std::array<LabelAndTick, kStepCount>{AddStepLine(
        form, frame, kScanStepNames[I], I, kScanRowTop, false, toolkit::kSysButtonText)...};
  }
  (std::make_index_sequence<kStepCount>{});

  // Detail lines the registry step writes while it runs; hidden otherwise.
  auto detail = [&](const char* name, int top) -> Control& {
    return form.Add(Kind::Label, name,
                    Design{.left = kTextLeft,
                           .top = top,
                           .width = 4695,
                           .height = 210,
                           .visible = false,
                           .wordWrap = false},
                    &frame);
  };
  Control& section = detail("sectionLabel", 2175);
  Control& linkName = detail("linkNameLabel", 2400);
  Control& temp = detail("tempLabel", 2400);
  Control& bar =
      form.Add(Kind::ProgressBar, "ProgressBar",
               Design{.left = kTextLeft, .top = 2655, .width = 4695, .height = 210}, &frame);
  return ScanPanel{frame, status, status1, status2, bar, linkName, section, temp, steps};
}

ResultPanel AddResultFrame(Form& form) {
  Control& frame = AddPanel(form, "resultFrame", 1920, kPanelWidth);
  AddTitle(form, frame, "Label22", "Optimization Complete");
  AddTitleSeparator(form, frame, "Line11", "Line12", 4680);
  AddText(form, frame, "Label21", 570, 210, "Optimizer has finished optimizing your system.");

  auto steps = [&]<std::size_t... I>(std::index_sequence<I...>) {
    return std::array<LabelAndTick, kStepCount>{
        AddStepLine(form, frame, kResultStepNames[I], I, kResultRowTop, true, kBlue)...};
  }
  (std::make_index_sequence<kStepCount>{});

  AddText(form, frame, "Label5", 1920, 585,
          "Note : For average computer use it is recommended you optimize at least once a week. "
          "Full effect experienced after restart.");
  Control& backup =
      form.Add(Kind::Label, "backupLabel",
               Design{.left = kTextLeft, .top = 2505, .width = kTextWidth, .height = 390}, &frame);
  Control& boot = form.Add(Kind::CheckBox, "bootCheck",
                           // On the note's short last line, to leave the panel's foot to the
                           // backup line.
                           Design{.left = 2640,
                                  .top = 2295,
                                  .width = 2055,
                                  .height = 225,
                                  .caption = "Restart computer",
                                  .value = 1},
                           &frame);
  return ResultPanel{frame, steps, backup, boot};
}

}  // namespace vu::optimizer
