// The Optimizer's state object: everything the running program shares between its forms and
// the run (the machine, the program, the selection flags and progress state, the operations,
// the help file). One instance per run of the program; nothing global.
#pragma once

#include <string>
#include <string_view>

#include "optimizer/engine/engine.h"
#include "optimizer/engine/state.h"
#include "platform/machine.h"
#include "toolkit/program.h"

namespace vu::optimizer {

class FrmMain;

// The help file beside the program: its folder without a trailing backslash + "\Optimizer.hlp".
std::string HelpFilePath(std::string_view programFolder);

class OptimizerApp {
 public:
  OptimizerApp(vu::platform::Machine& machine, toolkit::Program& program, Operations operations);
  OptimizerApp(const OptimizerApp&) = delete;
  OptimizerApp& operator=(const OptimizerApp&) = delete;

  // The program's entry procedure: registers the help file, selects every optimization, loads
  // and shows the wizard, and yields once.
  void Startup();

  vu::platform::Machine& machine() const { return machine_; }
  toolkit::Program& program() const { return program_; }
  OptimizerState& state() { return state_; }
  const Operations& operations() const { return operations_; }
  const std::string& helpFile() const { return helpFile_; }

  // The wizard, created and loaded on first use.
  FrmMain& main();
  // What the engine works with; the wizard shows the run's progress.
  Engine engine();

  // The program performs at most one run per start: true the first time only.
  bool BeginRun();

 private:
  vu::platform::Machine& machine_;
  toolkit::Program& program_;
  OptimizerState state_;
  Operations operations_;
  std::string helpFile_;
  bool ran_ = false;
};

}  // namespace vu::optimizer
