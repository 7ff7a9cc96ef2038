// Automation scripts: a line each, run by the program's own event loops so that a scenario goes
// on while the program sits inside a handler that yields or inside a modal dialog.
//
//   click FORM.CONTROL
//   set FORM.CONTROL VALUE
//   wait MS
//   until FORM[.CONTROL].PROPERTY = "TEXT" [within MS]
//   expect FORM[.CONTROL].PROPERTY = "TEXT"
//   browse "PATH" | browse cancel
//   shot "FILE"            (a picture of the screen as a .bmp file; headless hosts draw none)
//
// PROPERTY is caption, visible, enabled, value or bold; # starts a comment; \" and \\ are the
// only escapes inside quotes (so "C:\WINDOWS" needs none).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace vu::toolkit {

class Control;
class Form;
class Program;

// Exit statuses of a scripted run.
constexpr int kExitScriptMalformed = 2;
constexpr int kExitScriptFailed = 3;
constexpr int kExitIdle = 4;

enum class Property { Caption, Visible, Enabled, Value, Bold };

// The text of a property as scripts compare it: captions as they are, booleans "True"/"False",
// a check box's value "0"/"1", an option button's "True"/"False", other values as the run time
// prints a single-precision number ("100", "37", "2.5").
std::string PropertyText(const Control& control, Property property);
std::string PropertyText(const Form& form, Property property);
std::string NumberText(double value);

class Script {
 public:
  enum class Command { Click, Set, Wait, Until, Expect, Browse, Shot };

  struct Step {
    int line = 0;
    std::string text;  // the line as written, without comment and surrounding blanks
    Command command = Command::Wait;
    std::string form;
    std::string control;  // empty: the form itself
    Property property = Property::Caption;
    std::string value;    // set: the value; until/expect: the expected text; browse, shot: path
    bool cancel = false;  // browse cancel
    std::int64_t ms = 0;  // wait: how long; until: within
  };

  static constexpr std::int64_t kDefaultWithinMs = 600000;

  // Validates every line before anything runs; null with a one-line |error| naming the line.
  static std::unique_ptr<Script> Parse(std::string_view text, std::string* error);

  // Where the answers of browse steps go (the program hands them to its folder dialog).
  void SetBrowseAnswer(std::function<void(std::optional<std::string>)> answer) {
    browseAnswer_ = std::move(answer);
  }
  // Where failures are reported; standard error unless set.
  void SetErrorStream(std::ostream& errors) { errors_ = &errors; }

  // Runs the current step if it is due; returns whether a step finished. A failing step
  // reports itself and ends the program with kExitScriptFailed.
  bool Poll(Program& program);
  // When the script next needs a poll on the host clock: at once for a step that can run now,
  // the end of a wait, the deadline of an until; INT64_MAX when the script is finished.
  std::int64_t NextDue(const Program& program) const;

  bool finished() const { return next_ >= steps_.size(); }
  const std::vector<Step>& steps() const { return steps_; }

 private:
  void Advance(std::int64_t now);
  bool Holds(const Program& program, const Step& step, std::string* found) const;
  Control* ControlFor(Program& program, const Step& step);
  [[noreturn]] void Fail(Program& program, const Step& step, const std::string& found);

  std::vector<Step> steps_;
  std::size_t next_ = 0;
  bool started_ = false;  // the current step's clock runs from stepStart_
  std::int64_t stepStart_ = 0;
  std::ostream* errors_ = nullptr;
  std::function<void(std::optional<std::string>)> browseAnswer_;
};

}  // namespace vu::toolkit
