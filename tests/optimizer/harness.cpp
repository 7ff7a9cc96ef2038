#include "harness.h"

#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <random>
#include <sstream>

#include "optimizer/app/launch.h"
#include "platform/sandbox/facts.h"
#include "platform/sandbox/layout.h"
#include "toolkit/script.h"

namespace vu::optimizer::testing {

namespace {

std::filesystem::path FreshFolder() {
  static std::atomic<int> counter{0};
  std::random_device random;
  return std::filesystem::temp_directory_path() /
         ("vu-optimizer-test-" + std::to_string(random()) + "-" + std::to_string(++counter));
}

toolkit::HeadlessOptions HostOptions(std::ostream& errors) {
  toolkit::HeadlessOptions options;
  options.virtualClock = true;
  options.errors = &errors;
  return options;
}

// Ends a scenario that would otherwise run for ever (the labelTimer can cycle until the end).
class Watchdog : public toolkit::Form {
 public:
  explicit Watchdog(toolkit::Program& program)
      : Form(program, "watchdog", toolkit::FormSpec{.caption = "watchdog"}) {
    Add(toolkit::Kind::Timer, "deadline", toolkit::Spec{.interval = 3600 * 1000}).onTick = [this] {
      this->program().End(99);
    };
  }
};

}  // namespace

TempMachine::TempMachine(int pixelsPerInch) : dir_(FreshFolder()) {
  std::string error;
  if (!vu::platform::sandbox::SandboxMachine::Init(dir_.string(), &error)) {
    ADD_FAILURE() << "cannot make a machine: " << error;
    std::abort();
  }
  const std::string ini = (dir_ / vu::platform::sandbox::kMachineIni).string();
  vu::platform::sandbox::WriteFacts(ini, {{"LogPixelsX", std::to_string(pixelsPerInch)}});
  machine_ = vu::platform::sandbox::SandboxMachine::Open(dir_.string(), &error);
  if (!machine_) {
    ADD_FAILURE() << "cannot open the machine: " << error;
    std::abort();
  }
  machine_->SetProgramFolder(kDefaultAppFolder);
}

TempMachine::~TempMachine() {
  machine_.reset();
  std::error_code ignored;
  std::filesystem::remove_all(dir_, ignored);
}

std::string TempMachine::Journal() const {
  std::ifstream in(dir_ / vu::platform::sandbox::kJournal);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

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
  program.form<Watchdog>();
  app.Startup();
}

int OptimizerWorld::Play(std::string_view script) {
  std::string error;
  auto parsed = toolkit::Script::Parse(script, &error);
  if (!parsed) {
    ADD_FAILURE() << "script: " << error;
    return -1;
  }
  parsed->SetErrorStream(errors);
  program.SetScript(std::move(parsed));
  program.form<Watchdog>();
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
  try {
    action();
  } catch (const toolkit::EndProgram& end) {
    return end.exitCode;
  }
  return -1;
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
