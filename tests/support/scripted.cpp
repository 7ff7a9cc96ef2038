#include "tests/support/scripted.h"

#include <gtest/gtest.h>

#include <string>

namespace vu::test_support {

Watchdog::Watchdog(toolkit::Program& program)
    : Form(program, "watchdog", toolkit::FormDesign{.caption = "watchdog"}) {
  Add(toolkit::Kind::Timer, "deadline", toolkit::Design{.interval = 3600 * 1000}).onTick = [this] {
    this->program().End(99);
  };
}

std::unique_ptr<toolkit::Script> ParseScript(std::string_view script, std::ostream& errors) {
  std::string error;
  auto parsed = toolkit::Script::Parse(script, &error);
  if (!parsed) {
    ADD_FAILURE() << "script: " << error;
    return nullptr;
  }
  parsed->SetErrorStream(errors);
  return parsed;
}

int EndCode(const std::function<void()>& action) {
  try {
    action();
  } catch (const toolkit::EndProgram& end) {
    return end.exitCode;
  }
  return -1;
}

}  // namespace vu::test_support
