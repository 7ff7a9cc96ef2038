#include "tests/win32host/demo_form.h"

namespace vu::toolkit::demo {

namespace {

constexpr Color kGrey = Rgb(128, 128, 128);
constexpr Color kBlue = Rgb(0, 0, 192);

FormDesign MainDesign() {
  FormDesign design;
  design.caption = "Welcome";
  design.clientWidth = 6870;
  design.clientHeight = 3720;
  design.border = BorderStyle::FixedSingle;
  return design;
}

FormDesign DialogDesign() {
  FormDesign design;
  design.caption = "Exit Optimizer";
  design.clientWidth = 4740;
  design.clientHeight = 2160;
  design.border = BorderStyle::FixedDialog;
  design.showIcon = false;
  return design;
}

Design At(int left, int top, int width, int height, std::string caption = {}) {
  Design design;
  design.left = left;
  design.top = top;
  design.width = width;
  design.height = height;
  design.caption = std::move(caption);
  return design;
}

Design Bold(Design design) {
  design.bold = true;
  return design;
}

Design Picture(Design design, std::string picture) {
  design.picture = std::move(picture);
  return design;
}

Design Coloured(Design design, Color color) {
  design.foreColor = color;
  return design;
}

}  // namespace

DemoDialog::DemoDialog(Program& program)
    : Form(program, "frmDialog", DialogDesign()),
      picture(Add(Kind::PictureBox, "Picture1", Picture(At(40, 0, 1176, 1440), "dialog_small"))),
      resumeButton(Add(Kind::CommandButton, "Command2",
                       [] {
                         Design design = At(2280, 1680, 1095, 375, "Resume");
                         design.tabIndex = 0;
                         return design;
                       }())),
      exitButton(Add(Kind::CommandButton, "Command1", At(3480, 1680, 1095, 375, "Exit"))) {
  Add(Kind::Label, "Label1", Bold(At(1320, 120, 3300, 255, "Optimization not completed")));
  Add(Kind::Label, "Label3",
      At(1440, 600, 3135, 495,
         "You can, however, run Optimizer again at a later date to continue optimization."));
  Add(Kind::Label, "Label2", At(1440, 1200, 3135, 255, "Are you sure you wish to exit?"));
  Add(Kind::Line, "Line1", Coloured(At(1320, 1560, 4620, 1560), kGrey));
  Add(Kind::Line, "Line2", Coloured(At(1320, 1575, 4620, 1575), kSysScrollBar));
  resumeButton.onClick = [this] { Hide(); };
  exitButton.onClick = [this] { this->program().End(0); };
}

DemoForm::DemoForm(Program& program)
    : Form(program, "frmDemo", MainDesign()),
      sidePicture(Add(Kind::PictureBox, "smallPic", Picture(At(75, 30, 1815, 3015), "side_small"))),
      panel(Add(Kind::PictureBox, "startFrame", At(1980, 120, 4815, 2895))),
      titleLabel(Add(Kind::Label, "Label1",
                     Bold(At(0, 0, 4680, 255, "Welcome to the Velloria\u2122 Optimizer Wizzard!")),
                     &panel)),
      modeFrame(Add(Kind::Frame, "Frame1", At(0, 1080, 2520, 975, "Execution mode"), &panel)),
      expressOption(Add(
          Kind::OptionButton, "WelcomeOption1",
          [] {
            Design design = At(120, 300, 2280, 255, "Express (Velloria\u2122)");
            design.value = -1;
            return design;
          }(),
          &modeFrame)),
      customOption(
          Add(Kind::OptionButton, "welcomeOption2", At(120, 600, 2280, 255, "Custom"), &modeFrame)),
      restartCheck(Add(
          Kind::CheckBox, "bootCheck",
          [] {
            Design design = At(2640, 1140, 2040, 255, "Restart computer");
            design.value = 1;
            return design;
          }(),
          &panel)),
      tickImage(Add(Kind::Image, "linksTick", Picture(At(2640, 1500, 225, 225), "tick"), &panel)),
      warningImage(
          Add(Kind::Image, "warnTick", Picture(At(2640, 1785, 225, 225), "warning"), &panel)),
      linkLabel(Add(
          Kind::Label, "reportLabel",
          [] {
            Design design = Coloured(At(2880, 1500, 1800, 255, "report it"), kBlue);
            design.handCursor = true;
            return design;
          }(),
          &panel)),
      statusLabel(Add(
          Kind::Label, "statusLabel",
          [] {
            Design design = Bold(Coloured(At(2880, 1785, 1900, 255, "Initializing . . ."), kBlue));
            design.fontSize = 9.75;
            return design;
          }(),
          &panel)),
      licenceText(Add(
          Kind::TextBox, "Text1",
          [] {
            Design design =
                At(0, 2160, 2520, 720,
                   "Velloria Utilities licence.\nThis demo text is long enough to need the "
                   "scroll bar of a multi-line text box, so it runs on for a few lines.\n"
                   "Line three.\nLine four.");
            design.multiLine = true;
            design.backColor = kSysWindow;
            design.foreColor = kSysWindowText;
            return design;
          }(),
          &panel)),
      progressBar(Add(Kind::ProgressBar, "ProgressBar", At(2640, 2655, 2040, 210), &panel)),
      helpButton(
          Add(Kind::CommandButton, "helpButton", At(120, 3240, 1690, 375, "Optimizer &Help"))),
      backButton(Add(Kind::CommandButton, "backButton",
                     [] {
                       Design design = At(2715, 3240, 1215, 375, "&Back");
                       design.enabled = false;
                       return design;
                     }())),
      nextButton(Add(Kind::CommandButton, "nextButton",
                     [] {
                       Design design = Bold(At(4035, 3240, 1215, 375, "&Next"));
                       design.tabIndex = 0;
                       design.isDefault = true;
                       return design;
                     }())),
      closeButton(Add(Kind::CommandButton, "closeButton", At(5475, 3240, 1215, 375, "&Close"))),
      progressTimer(Add(Kind::Timer, "progressTimer", [] {
        Design design;
        design.interval = 50;
        design.enabled = false;
        return design;
      }())) {
  Add(Kind::Label, "Label6",
      At(0, 480, 4680, 495,
         "This wizzard will optimize your system by searching through it for mistakes that "
         "usually slow the system down."),
      &panel);
  Add(Kind::Line, "Line1", Coloured(At(0, 330, 4680, 330), kGrey), &panel);
  Add(Kind::Line, "Line4", Coloured(At(0, 345, 4680, 345), kSysScrollBar), &panel);
  Add(Kind::Shape, "Shape1", At(2600, 1460, 2160, 620), &panel);
  Add(Kind::Line, "Line3", Coloured(At(120, 3090, 6720, 3090), kGrey));
  Add(Kind::Line, "Line2", Coloured(At(120, 3110, 6720, 3110), kSysScrollBar));

  nextButton.onClick = [this] {
    ++nextClicks;
    statusLabel.SetCaption("Working");
    progressBar.SetValue(0);
    progressTimer.SetEnabled(true);
  };
  progressTimer.onTick = [this] {
    ++ticks;
    const double value = progressBar.value() + 10;
    progressBar.SetValue(value >= 100 ? 100 : value);
    if (value >= 100) progressTimer.SetEnabled(false);
  };
  restartCheck.onClick = [this] { ++checkClicks; };
  linkLabel.onClick = [this] { ++linkClicks; };
  helpButton.onClick = [this] { this->program().form<DemoDialog>().ShowModal(); };
  closeButton.onClick = [this] { this->program().End(0); };
}

}  // namespace vu::toolkit::demo
