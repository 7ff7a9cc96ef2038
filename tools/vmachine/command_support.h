// What the vmachine commands share: their exit statuses, the one-line error, the machine check.
#pragma once

#include <ostream>
#include <string>
#include <string_view>

#include "platform/status.h"

namespace vu::tools {

inline constexpr int kExitDone = 0;
inline constexpr int kExitFailed = 1;    // the host refused a change
inline constexpr int kExitBadInput = 2;  // nothing was changed

// Writes "vmachine COMMAND: PROBLEM" as one line and returns |status|.
int Complain(std::ostream& err, std::string_view command, std::string_view problem,
             int status = kExitBadInput);

// Whether |dir| holds a sound sandbox machine (and, when |forChanges|, one that may be written);
// when not, says so in one line on |err|, naming the file and the problem.
bool CheckMachine(const std::string& dir, std::string_view command, std::ostream& err,
                  bool forChanges = true);

// A status as a reader wants it: "the path was not found (3)".
std::string Describe(vu::platform::Status status);

}  // namespace vu::tools
