// A demo form with one of every control kind, laid out like the Optimizer's wizard window, and
// a dialog shown modally from it: what the Win32 host's tests drive and the screenshot shows.
#pragma once

#include "toolkit/program.h"

namespace vu::toolkit::demo {

class DemoDialog : public Form {
 public:
  explicit DemoDialog(Program& program);

  Control& picture;
  Control& resumeButton;
  Control& exitButton;
};

class DemoForm : public Form {
 public:
  explicit DemoForm(Program& program);

  Control& sidePicture;
  Control& panel;
  Control& titleLabel;
  Control& modeFrame;
  Control& expressOption;
  Control& customOption;
  Control& restartCheck;
  Control& tickImage;
  Control& warningImage;
  Control& linkLabel;
  Control& statusLabel;
  Control& licenceText;
  Control& progressBar;
  Control& helpButton;
  Control& backButton;
  Control& nextButton;
  Control& closeButton;
  Control& progressTimer;

  int nextClicks = 0;
  int checkClicks = 0;
  int linkClicks = 0;
  int ticks = 0;
};

}  // namespace vu::toolkit::demo
