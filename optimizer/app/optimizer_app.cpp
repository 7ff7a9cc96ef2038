#include "optimizer/app/optimizer_app.h"

#include <utility>

#include "common/vb.h"
#include "optimizer/app/frm_error.h"
#include "optimizer/app/frm_main.h"

namespace vu::optimizer {

namespace {

// The shortcut search is one of the three procedures whose unexpected failure ends in the
// fatal-error dialog; the run then carries on with what was found.
std::function<bool(Engine&)> GuardFatal(std::function<bool(Engine&)> operation, OptimizerApp& app) {
  if (!operation) return operation;
  return [operation = std::move(operation), &app](Engine& engine) {
    bool done = false;
    RunGuarded(app, [&] { done = operation(engine); });
    return done;
  };
}

}  // namespace

std::string HelpFilePath(std::string_view programFolder) {
  std::string folder(programFolder);
  if (!folder.empty() && folder.back() == '\\') folder.pop_back();  // App.Path of a drive root
  return folder + "\\Optimizer.hlp";
}

OptimizerApp::OptimizerApp(vu::platform::Machine& machine, toolkit::Program& program,
                           Operations operations)
    : machine_(machine), program_(program), operations_(std::move(operations)) {
  operations_.findShortcuts = GuardFatal(std::move(operations_.findShortcuts), *this);
}

void OptimizerApp::Startup() {
  RunGuarded(*this, [this] {
    helpFile_ = HelpFilePath(machine_.system().ProgramFolder());
    program_.SetHelpFile(helpFile_);
    state_.flags.SetAll(common::kTrue);
    FrmMain& wizard = main();
    wizard.Show();
    program_.DoEvents();
  });
}

FrmMain& OptimizerApp::main() {
  return program_.form<FrmMain>(*this);
}

Engine OptimizerApp::engine() {
  return Engine{machine_, state_, main()};
}

bool OptimizerApp::BeginRun() {
  if (ran_) return false;
  ran_ = true;
  return true;
}

}  // namespace vu::optimizer
