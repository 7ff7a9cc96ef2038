#include "installer/frm_splash.h"

#include <cmath>
#include <utility>

#include "common/large_font.h"
#include "installer/frm_main.h"
#include "installer/frm_start.h"
#include "installer/installer_app.h"

namespace vu::installer {

using toolkit::Design;
using toolkit::Kind;

namespace {

constexpr int kBarLeft = 2160;
constexpr int kBarTop = 1920;
constexpr int kBarWidth = 3600;
constexpr int kBarHeight = 255;
constexpr toolkit::Color kBarColor = toolkit::Rgb(0, 0, 128);

}  // namespace

int PercentOf(std::string_view caption) {
  // Val: blanks are passed over, digits read until the first other character.
  int value = 0;
  for (const char c : caption.substr(0, 3)) {
    if (c == ' ') continue;
    if (c < '0' || c > '9') break;
    value = value * 10 + (c - '0');
  }
  return value;
}

std::string PercentText(int percent) {
  return " " + std::to_string(percent) + " %";
}

FrmSplash::FrmSplash(toolkit::Program& program, InstallerApp& app)
    : Form(program, "frmSplash",
           toolkit::FormDesign{.caption = "Setup",
                               .clientWidth = 6000,
                               .clientHeight = 2640,
                               .border = toolkit::BorderStyle::FixedDialog,
                               .icon = "install"}),
      preparingLabel(
          Add(Kind::Label, "Label1",
              Design{.left = 2160,
                     .top = 240,
                     .width = 3600,
                     .height = 1095,
                     .caption = "Velloria Optimizer is preparing the Setup program, which will "
                                "guide you through the rest of the installation. Please wait."})),
      percentLabel(Add(Kind::Label, "percentLabel",
                       Design{.left = kBarLeft,
                              .top = 1560,
                              .width = kBarWidth,
                              .height = 255,
                              .caption = "0 %",
                              .bold = true,
                              .align = toolkit::Align::Center})),
      progressBorder(Add(Kind::Shape, "progressBorder",
                         Design{.left = kBarLeft,
                                .top = kBarTop,
                                .width = kBarWidth,
                                .height = kBarHeight,
                                .foreColor = toolkit::kSysWindowText})),
      progressBar(Add(Kind::Shape, "ProgressBar",
                      Design{.left = kBarLeft,
                             .top = kBarTop,
                             .width = 0,
                             .height = kBarHeight,
                             .foreColor = kBarColor,
                             .backColor = kBarColor,
                             .shape = toolkit::ShapeStyle::FilledRectangle})),
      picture(Add(
          Kind::PictureBox, "Picture1",
          Design{
              .left = 120, .top = 120, .width = 1800, .height = 2400, .picture = "setup_small"})),
      bigVL(Add(Kind::PictureBox, "bigVL",
                Design{.left = 120,
                       .top = 120,
                       .width = 1800,
                       .height = 2400,
                       .visible = false,
                       .picture = "setup_large"})),
      incrementTimer(Add(Kind::Timer, "incrementTimer", Design{.enabled = true, .interval = 300})),
      progressTimer(Add(Kind::Timer, "progressTimer", Design{.enabled = false, .interval = 300})),
      app_(app) {
  incrementTimer.onTick = [this] { IncrementTick(); };
  progressTimer.onTick = [this] { ProgressTick(); };
}

void FrmSplash::Load() {
  if (common::IsSet(common::IsLargeFontScreen(app_.machine().system()))) {
    picture.SetPicture(bigVL.picture());
  }
}

void FrmSplash::SetPercentCaption(std::string caption) {
  percentLabel.SetCaption(std::move(caption));
  const int width =
      static_cast<int>(progressBorder.width() / 100.0 * PercentOf(percentLabel.caption()));
  progressBar.Resize(width, progressBar.height());
}

void FrmSplash::IncrementTick() {
  incrementTimer.SetInterval(50);
  const int next = PercentOf(percentLabel.caption()) + 2;
  SetPercentCaption(PercentText(next));
  if (next == 30) {
    incrementTimer.SetEnabled(false);
    progressTimer.SetEnabled(true);
  }
}

void FrmSplash::ProgressTick() {
  toolkit::Program& program = this->program();
  if (percentLabel.caption() == "100 %") {
    progressTimer.SetEnabled(false);
    Hide();
    program.form<FrmStart>().Show();
    app_.main().ShowModal();
    return;
  }
  program.Randomize();
  const int n = PercentOf(percentLabel.caption());
  const int m = n + static_cast<int>(program.Rnd() * 15);
  progressTimer.SetInterval(static_cast<int>(std::nearbyint(program.Rnd() * 500 + 1)));
  if (m >= 100) {
    SetPercentCaption("100 %");
    program.DoEvents();
    app_.main();  // loaded, not yet shown
    progressTimer.SetInterval(1000);
  } else {
    SetPercentCaption(PercentText(m));
  }
}

}  // namespace vu::installer
