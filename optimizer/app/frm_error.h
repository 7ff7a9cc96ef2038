// frmError: the last word of the program when something unexpected went wrong, and the guard
// that routes such a failure to it.
//
// The platform seam reports failures as statuses, and the program skips those where it skips
// them. "Unexpected" is what the seam cannot report: a C++ exception (memory exhausted, a broken
// invariant in a library) escaping start-up, RestartWindows or the shortcut search.
#pragma once

#include <exception>
#include <functional>
#include <string>

#include "toolkit/form.h"
#include "toolkit/program.h"

namespace vu::optimizer {

class OptimizerApp;

// The web page "report it" opens.
inline constexpr const char* kErrorReportAddress = "http://www.velloria.com/about/error/";

class FrmError : public toolkit::Form {
 public:
  FrmError(toolkit::Program& program, OptimizerApp& app);

  toolkit::Control& picture1;
  toolkit::Control& reportLabel;
  toolkit::Control& errNum;
  toolkit::Control& closeButton;  // Command1

 protected:
  void Load() override;

 private:
  OptimizerApp& app_;
};

// The number as the run time's Str$ prints it: a leading blank for a non-negative number.
std::string ErrorNumberText(int number);

// The run time's error number for an exception: 7 (out of memory), 9 (subscript out of range)
// or 51 (internal error).
int ErrorNumberOf(const std::exception& error);

// Beeps, shows |text| as the error number and waits in the dialog, whose Close ends the program.
void ShowFatalError(OptimizerApp& app, const std::string& text);

// Runs |body|; an exception escaping it goes to ShowFatalError. Ending the program is no failure
// and passes through.
void RunGuarded(OptimizerApp& app, const std::function<void()>& body);

}  // namespace vu::optimizer
