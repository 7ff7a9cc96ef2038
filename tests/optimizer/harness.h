// The Optimizer on a fresh sandbox machine with the headless host on a virtual clock, for tests
// that drive it by clicks, scripts or direct calls.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <string_view>

#include "optimizer/app/frm_main.h"
#include "optimizer/app/optimizer_app.h"
#include "platform/sandbox/machine.h"
#include "tests/support/temp_machine.h"
#include "toolkit/headless/host.h"
#include "toolkit/program.h"

namespace vu::optimizer::testing {

// A new machine in a temporary folder, removed again with the object; the Optimizer runs from
// its default folder.
class TempMachine : public vu::test_support::TempMachine {
 public:
  explicit TempMachine(int pixelsPerInch = 96);
};

struct OptimizerWorld {
  explicit OptimizerWorld(int pixelsPerInch = 96, Operations operations = {});

  // Starts the program without entering its event loop: the wizard is up, the test clicks.
  void Start();
  // Plays |script| (the toolkit's automation language) from start-up to the program's end;
  // returns the exit code. A watchdog ends a run-away scenario after an hour of virtual time.
  int Play(std::string_view script);

  FrmMain& main() { return app.main(); }
  // A control of any created form, by name.
  toolkit::Control& Control(std::string_view name);
  // Clicks as the user would; returns false when the click could not be made.
  bool Click(std::string_view name);
  // Runs |action|, expecting it to end the program; returns the exit code, or -1 when it did not.
  int EndCode(const std::function<void()>& action);
  std::int64_t Now() { return host.NowMs(); }

  TempMachine temp;
  std::ostringstream errors;
  toolkit::HeadlessHost host;
  toolkit::Program program;
  OptimizerApp app;
};

// The front one of frmMain's five panels.
std::string FrontPanel(FrmMain& form);

}  // namespace vu::optimizer::testing
