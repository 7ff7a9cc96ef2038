// What the programs' test harnesses share about playing a program: a watchdog for run-away
// scenarios, automation scripts parsed from the test's text, and ends caught.
#pragma once

#include <functional>
#include <memory>
#include <ostream>
#include <string_view>

#include "toolkit/form.h"
#include "toolkit/program.h"
#include "toolkit/script.h"

namespace vu::test_support {

// Ends a scenario that would otherwise run or wait for ever: after an hour of the program's
// clock the program ends with exit code 99.
class Watchdog : public toolkit::Form {
 public:
  explicit Watchdog(toolkit::Program& program);
};

// |script| (the toolkit's automation language) with its step failures written to |errors|;
// null, after a test failure, when it is malformed.
std::unique_ptr<toolkit::Script> ParseScript(std::string_view script, std::ostream& errors);

// Runs |action|, expecting it to end the program; returns the exit code, or -1 when it did not.
int EndCode(const std::function<void()>& action);

}  // namespace vu::test_support
