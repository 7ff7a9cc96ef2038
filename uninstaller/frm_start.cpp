#include "uninstaller/frm_start.h"

#include <string>

#include "common/large_font.h"
#include "uninstaller/dialog_parts.h"
#include "uninstaller/uninstall_app.h"

namespace vu::uninstaller {

using toolkit::Design;
using toolkit::Kind;

namespace {

constexpr int kWidth = 5880;
constexpr int kStageTop = 1560;
constexpr int kStageStep = 300;

toolkit::FormDesign StartDesign() {
  return toolkit::FormDesign{.caption = "Uninstalling",
                             .clientWidth = kWidth,
                             .clientHeight = 4200,
                             .border = toolkit::BorderStyle::FixedSingle,
                             .icon = "uninstall"};
}

Design StageLabel(int row, const char* caption) {
  return Design{.left = 720,
                .top = kStageTop + row * kStageStep,
                .width = 2880,
                .height = 255,
                .caption = caption,
                .bold = row == 0};
}

Design Tick(int row) {
  return Design{.left = 360,
                .top = kStageTop + row * kStageStep + 15,
                .width = 225,
                .height = 225,
                .visible = false,
                .picture = "tick"};
}

Design Holder(int left, const char* picture) {
  return Design{
      .left = left, .top = 3780, .width = 252, .height = 132, .visible = false, .picture = picture};
}

}  // namespace

FrmStart::FrmStart(toolkit::Program& program, UninstallApp& app)
    : Form(program, "frmStart", StartDesign()),
      titlePicture(Add(
          Kind::PictureBox, "titlePicture",
          Design{
              .left = 120, .top = 120, .width = 720, .height = 720, .picture = "uninstall_small"})),
      bigPic(Add(Kind::PictureBox, "bigPic", Holder(120, "uninstall_large"))),
      bigExc(Add(Kind::PictureBox, "bigExc", Holder(480, "dialog_large"))),
      label1(Add(Kind::Label, "Label1",
                 Design{.left = 1080, .top = 180, .width = 4680, .height = 255, .bold = true})),
      label6(Add(Kind::Label, "Label6",
                 Design{.left = 1080, .top = 540, .width = 4680, .height = 615})),
      programLabel(Add(Kind::Label, "programLabel", StageLabel(0, "Program files"))),
      sharedLabel(Add(Kind::Label, "sharedLabel", StageLabel(1, "Shared files"))),
      registryLabel(Add(Kind::Label, "registryLabel", StageLabel(2, "Registry presence"))),
      startLabel(Add(Kind::Label, "startLabel", StageLabel(3, "Start menu"))),
      programPic(Add(Kind::PictureBox, "programPic", Tick(0))),
      sharedPic(Add(Kind::PictureBox, "sharedPic", Tick(1))),
      registryPic(Add(Kind::PictureBox, "registryPic", Tick(2))),
      startPic(Add(Kind::PictureBox, "startPic", Tick(3))),
      progressBar(Add(Kind::ProgressBar, "ProgressBar",
                      Design{.left = 360, .top = 2880, .width = 5160, .height = 255, .value = 0})),
      // Room for four lines: an incomplete uninstallation names what it left behind, and files
      // in use the restart that removes them.
      completedLabel(Add(Kind::Label, "completedLabel",
                         Design{.left = 360,
                                .top = 2760,
                                .width = 5160,
                                .height = 765,
                                .caption = kCompletedText,
                                .visible = false})),
      closeButton(Add(Kind::CommandButton, "Command1",
                      Design{.left = 4440,
                             .top = 3720,
                             .width = 1215,
                             .height = 375,
                             .caption = "&Close",
                             .enabled = false,
                             .isDefault = true})),
      pauseTimer(Add(Kind::Timer, "pauseTimer", Design{.enabled = false, .interval = 0})),
      app_(app) {
  AddSeparator(*this, "Line1", "Line2", 120, 1320);
  AddSeparator(*this, "Line3", "Line4", 120, 3540);

  closeButton.onClick = [this] { this->program().End(0); };
  // The window frame closes the form only when Close itself could: after the removal.
  onClose = [this] {
    if (closeButton.enabled()) this->program().End(0);
  };
  pauseTimer.onTick = [this] { pauseTimer.SetEnabled(false); };
}

void FrmStart::Load() {
  label1.SetCaption("Removing all traces of " + app_.GetShortName());
  SetCaption("Uninstalling " + app_.GetLongName());
  label6.SetCaption("Uninstaller is erasing all files and directories that only " +
                    app_.DisplayName() + " use.");
  if (common::IsSet(common::IsLargeFontScreen(app_.machine().system()))) {
    titlePicture.SetPicture(bigPic.picture());
    titlePicture.Move(100, 30);
  }
}

}  // namespace vu::uninstaller
