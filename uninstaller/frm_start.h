// frmStart: the progress form. Four stage labels with their ticks, the progress bar, the
// completion text and Close; it also holds the large-font pictures of all three forms.
#pragma once

#include "toolkit/form.h"
#include "toolkit/program.h"

namespace vu::uninstaller {

class UninstallApp;

// The completion text of an uninstallation that removed everything it meant to.
inline constexpr const char* kCompletedText = "Uninstallation successful. Click '&Close' to end.";

class FrmStart : public toolkit::Form {
 public:
  FrmStart(toolkit::Program& program, UninstallApp& app);

  toolkit::Control& titlePicture;
  toolkit::Control& bigPic;  // the large-font title picture
  toolkit::Control& bigExc;  // the large-font picture of the two dialogs
  toolkit::Control& label1;  // "Removing all traces of " + short name
  toolkit::Control& label6;
  toolkit::Control& programLabel;
  toolkit::Control& sharedLabel;
  toolkit::Control& registryLabel;
  toolkit::Control& startLabel;
  toolkit::Control& programPic;
  toolkit::Control& sharedPic;
  toolkit::Control& registryPic;
  toolkit::Control& startPic;
  toolkit::Control& progressBar;  // ProgressBar
  toolkit::Control& completedLabel;
  toolkit::Control& closeButton;  // Command1
  // Carries the removal's pauses, so that the form keeps repainting while it waits.
  toolkit::Control& pauseTimer;

 protected:
  void Load() override;

 private:
  UninstallApp& app_;
};

}  // namespace vu::uninstaller
