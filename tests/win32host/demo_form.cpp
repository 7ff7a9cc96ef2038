#include "tests/win32host/demo_form.h"

namespace vu::toolkit::demo {

namespace {

constexpr Color kGrey = Rgb(128, 128, 128);
constexpr Color kBlue = Rgb(0, 0, 192);

FormSpec MainSpec() {
  FormSpec spec;
  spec.caption = "Welcome";
  spec.clientWidth = 6870;
  spec.clientHeight = 3720;
  spec.border = BorderStyle::FixedSingle;
  return spec;
}

FormSpec DialogSpec() {
  FormSpec spec;
  spec.caption = "Exit Optimizer";
  spec.clientWidth = 4740;
  spec.clientHeight = 2160;
  spec.border = BorderStyle::FixedDialog;
  spec.showIcon = false;
  return spec;
}

Spec At(int left, int top, int width, int height, std::string caption = {}) {
  Spec spec;
  spec.left = left;
  spec.top = top;
  spec.width = width;
  spec.height = height;
  spec.caption = std::move(caption);
  return spec;
}

Spec Bold(Spec spec) {
  spec.bold = true;
  return spec;
}

Spec Picture(Spec spec, std::string picture) {
  spec.picture = std::move(picture);
  return spec;
}

Spec Coloured(Spec spec, Color color) {
  spec.foreColor = color;
  return spec;
}

}  // namespace

DemoDialog::DemoDialog(Program& program)
    : Form(program, "frmDialog", DialogSpec()),
      picture(Add(Kind::PictureBox, "Picture1", Picture(At(40, 0, 1176, 1440), "dialog_small"))),
      resumeButton(Add(Kind::CommandButton, "Command2",
                       [] {
                         Spec spec = At(2280, 1680, 1095, 375, "Resume");
                         spec.tabIndex = 0;
                         return spec;
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
    : Form(program, "frmDemo", MainSpec()),
      sidePicture(Add(Kind::PictureBox, "smallPic", Picture(At(75, 30, 1815, 3015), "side_small"))),
      panel(Add(Kind::PictureBox, "startFrame", At(1980, 120, 4815, 2895))),
      titleLabel(Add(Kind::Label, "Label1",
                     Bold(At(0, 0, 4680, 255, "Welcome to the Velloria\u2122 Optimizer Wizzard!")),
                     &panel)),
      modeFrame(Add(Kind::Frame, "Frame1", At(0, 1080, 2520, 975, "Execution mode"), &panel)),
      expressOption(Add(
          Kind::OptionButton, "WelcomeOption1",
          [] {
            Spec spec = At(120, 300, 2280, 255, "Express (Velloria\u2122)");
            spec.value = -1;
            return spec;
          }(),
          &modeFrame)),
      customOption(
          Add(Kind::OptionButton, "welcomeOption2", At(120, 600, 2280, 255, "Custom"), &modeFrame)),
      restartCheck(Add(
          Kind::CheckBox, "bootCheck",
          [] {
            Spec spec = At(2640, 1140, 2040, 255, "Restart computer");
            spec.value = 1;
            return spec;
          }(),
          &panel)),
      tickImage(Add(Kind::Image, "linksTick", Picture(At(2640, 1500, 225, 225), "tick"), &panel)),
      warningImage(
          Add(Kind::Image, "warnTick", Picture(At(2640, 1785, 225, 225), "warning"), &panel)),
      linkLabel(Add(
          Kind::Label, "reportLabel",
          [] {
            Spec spec = Coloured(At(2880, 1500, 1800, 255, "report it"), kBlue);
            spec.handCursor = true;
            return spec;
          }(),
          &panel)),
      statusLabel(Add(
          Kind::Label, "statusLabel",
          [] {
            Spec spec = Bold(Coloured(At(2880, 1785, 1900, 255, "Initializing . . ."), kBlue));
            spec.fontSize = 9.75;
            return spec;
          }(),
          &panel)),
      licenceText(Add(
          Kind::TextBox, "Text1",
          [] {
            Spec spec = At(0, 2160, 2520, 720,
                           "Velloria Utilities licence.\nThis demo text is long enough to need the "
                           "scroll bar of a multi-line text box, so it runs on for a few lines.\n"
                           "Line three.\nLine four.");
            spec.multiLine = true;
            spec.backColor = kSysWindow;
            spec.foreColor = kSysWindowText;
            return spec;
          }(),
          &panel)),
      progressBar(Add(Kind::ProgressBar, "ProgressBar", At(2640, 2655, 2040, 210), &panel)),
      helpButton(
          Add(Kind::CommandButton, "helpButton", At(120, 3240, 1690, 375, "Optimizer &Help"))),
      backButton(Add(Kind::CommandButton, "backButton",
                     [] {
                       Spec spec = At(2715, 3240, 1215, 375, "&Back");
                       spec.enabled = false;
                       return spec;
                     }())),
      nextButton(Add(Kind::CommandButton, "nextButton",
                     [] {
                       Spec spec = Bold(At(4035, 3240, 1215, 375, "&Next"));
                       spec.tabIndex = 0;
                       spec.isDefault = true;
                       return spec;
                     }())),
      closeButton(Add(Kind::CommandButton, "closeButton", At(5475, 3240, 1215, 375, "&Close"))),
      progressTimer(Add(Kind::Timer, "progressTimer", [] {
        Spec spec;
        spec.interval = 50;
        spec.enabled = false;
        return spec;
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
