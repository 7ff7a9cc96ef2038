#include "harness.h"

#include <gtest/gtest.h>

#include <sstream>

#include "optimizer/app/launch.h"
#include "tests/support/scripted.h"
#include "toolkit/script.h"

namespace vu::optimizer::testing {

namespace {

toolkit::HeadlessOptions HostOptions(std::ostream& errors) {
  toolkit::HeadlessOptions options;
  options.virtualClock = true;
  options.errors = &errors;
  return options;
}

}  // namespace

TempMachine::TempMachine(int pixelsPerInch)
    : vu::test_support::TempMachine("vu-optimizer-test-", kDefaultAppFolder, pixelsPerInch) {}

OptimizerWorld::OptimizerWorld(int pixelsPerInch, Operations operations)
    : temp(pixelsPerInch),
      host([&] {
        toolkit::HeadlessOptions options = HostOptions(errors);
        options.pixelsPerInch = temp.machine().system().LogPixelsX();
        return options;
      }()),
      program(host),
      app(temp.machine(), program, std::move(operations)) {}

void OptimizerWorld::Start() {
  program.form<vu::test_support::Watchdog>();
  app.Startup();
}

int OptimizerWorld::Play(std::string_view script) {
  auto parsed = vu::test_support::ParseScript(script, errors);
  if (!parsed) return -1;
  program.SetScript(std::move(parsed));
  program.form<vu::test_support::Watchdog>();
  return program.Run([this] { app.Startup(); });
}

toolkit::Control& OptimizerWorld::Control(std::string_view name) {
  for (toolkit::Form* form : program.forms()) {
    if (toolkit::Control* control = form->Find(name)) return *control;
  }
  ADD_FAILURE() << "no control " << name;
  std::abort();
}

bool OptimizerWorld::Click(std::string_view name) {
  return Control(name).UserClick();
}

int OptimizerWorld::EndCode(const std::function<void()>& action) {
  return vu::test_support::EndCode(action);
}

std::string FrontPanel(FrmMain& form) {
  const toolkit::Control* panels[] = {&form.start.frame, &form.custom.frame, &form.selection.frame,
                                      &form.scan.frame, &form.result.frame};
  const toolkit::Control* front = nullptr;
  for (const toolkit::Control* panel : panels) {
    if (panel->visible() && (front == nullptr || panel->zOrder() > front->zOrder())) front = panel;
  }
  return front ? front->name() : "";
}

}  // namespace vu::optimizer::testing
