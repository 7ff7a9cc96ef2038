// frmMain: the Optimizer's wizard window. Five panels stacked in one place; the page the user is
// on is known only from the window caption and, on the selection pages, the title label.
#pragma once

#include "optimizer/app/frm_main_panels.h"
#include "optimizer/engine/run_view.h"
#include "toolkit/form.h"
#include "toolkit/program.h"

namespace vu::optimizer {

class OptimizerApp;

class FrmMain : public toolkit::Form {
 public:
  FrmMain(toolkit::Program& program, OptimizerApp& app);

  // The controls a run drives.
  RunView MakeRunView();

  toolkit::Control& smallPic;
  toolkit::Control& bigMain;
  toolkit::Control& bigExc;
  toolkit::Control& line3;  // the separator above the buttons: grey
  toolkit::Control& line2;  // and the scroll-bar colour
  ResultPanel result;
  ScanPanel scan;
  SelectionPanel selection;
  CustomPanel custom;
  StartPanel start;
  toolkit::Control& helpButton;
  toolkit::Control& backButton;
  toolkit::Control& nextButton;
  toolkit::Control& closeButton;
  toolkit::Control& waitTimer;
  toolkit::Control& labelTimer;
  toolkit::Control& startProgressTimer;
  toolkit::Control& progressTimer;

 protected:
  void Load() override;

 private:
  void WireEvents();
  void NextClick();
  void BackClick();
  void CheckClick();
  void CloseClick();
  void HelpClick();
  void StartRun();
  // Shows selection page |index| (0-based); |back| when arriving from the page after it.
  void ShowPage(int index, bool back);

  OptimizerApp& app_;
};

}  // namespace vu::optimizer
