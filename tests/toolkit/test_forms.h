// A form whose controls a test builds on the spot, and a program on a virtual-clock host.
#pragma once

#include <functional>
#include <sstream>
#include <string>
#include <utility>

#include "toolkit/headless/host.h"
#include "toolkit/program.h"

namespace vu::toolkit::testing {

class BuiltForm : public Form {
 public:
  BuiltForm(Program& program, std::string name, const std::function<void(Form&)>& build,
            std::function<void(Form&)> load = {})
      : Form(program, name, FormDesign{.caption = name, .clientWidth = 4800, .clientHeight = 3600}),
        load_(std::move(load)) {
    if (build) build(*this);
  }

 protected:
  void Load() override {
    if (load_) load_(*this);
  }

 private:
  std::function<void(Form&)> load_;
};

// Distinct types, because the program keeps one instance per form type.
template <int N>
class TestForm : public BuiltForm {
 public:
  using BuiltForm::BuiltForm;
};

inline Design TimerDesign(int interval, bool enabled = true) {
  return Design{.enabled = enabled, .interval = interval};
}

inline Design Box(int left, int top, int width, int height) {
  return Design{.left = left, .top = top, .width = width, .height = height};
}

struct VirtualProgram {
  explicit VirtualProgram(std::ostream* transcript = nullptr)
      : host(HeadlessOptions{.virtualClock = true, .transcript = transcript, .errors = &errors}),
        program(host) {}

  // Steps the clock one millisecond at a time up to |ms|.
  void StepTo(std::int64_t ms) {
    while (host.NowMs() < ms)
      host.DoEvents();
  }

  std::ostringstream errors;
  HeadlessHost host;
  Program program;
};

}  // namespace vu::toolkit::testing
