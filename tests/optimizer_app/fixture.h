// What the wizard tests share: a look at the wizard as the user sees it, a way to answer a modal
// dialog from a test, operations that only note what the run asked of them, and a spy on a
// timer's ticks.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "optimizer/engine/engine.h"
#include "tests/optimizer/harness.h"
#include "toolkit/control.h"
#include "toolkit/script.h"

namespace vu::optimizer::testing {

// The parts of the wizard's state table a user can see.
struct WizardView {
  std::string caption;
  std::string front;  // the front panel
  bool nextVisible = false, nextEnabled = false;
  bool backVisible = false, backEnabled = false;
  bool helpVisible = false;
  bool closeVisible = false;
  bool operator==(const WizardView&) const = default;
};
std::ostream& operator<<(std::ostream& out, const WizardView& view);
WizardView Look(FrmMain& main);

// The expected views of the state table's pages before the run.
WizardView WelcomeView();
WizardView CustomView();
WizardView SelectionView();

// Sets |script| as the program's automation script: the next event loop (a modal dialog's) plays
// it. Fails the test when the script does not parse.
void Answer(OptimizerWorld& world, std::string_view script);

// Operations that do no work: they note which steps ran and how the wizard looked then. The
// shortcut search lasts |searchMs| of (virtual) time, yielding every millisecond as the real
// search yields between files.
struct RunLog {
  std::int64_t searchMs = 0;
  std::vector<Step> performed;
  std::vector<std::int64_t> performedAt;  // when each step's operation was called
  std::optional<WizardView> atSearch;
  std::vector<WizardView> atSteps;
  std::int64_t searchStart = -1, searchEnd = -1;
  std::function<void(Engine&)> onSearch;  // runs first thing in the search, when set

  Operations Make();
};

// One tick of a spied timer: when it began and ended, and the scanning page right after it.
struct TickRecord {
  std::int64_t start = 0, end = 0;
  float bar = 0;
  int interval = 0;                                       // the timer's interval after the tick
  bool status = false, status1 = false, status2 = false;  // the three status lines visible
  std::string caption, caption1, caption2;
  int depth = 0;  // ticks of the same timer running when this one began
};

// Wraps |timer|'s tick handler so that every tick is recorded into |log|.
void Spy(OptimizerWorld& world, toolkit::Control& timer, std::vector<TickRecord>& log);

}  // namespace vu::optimizer::testing
