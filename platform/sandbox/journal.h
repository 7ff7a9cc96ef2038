// The sandbox machine's journal (MACHINE/journal.log): one line per outside effect that cannot
// happen in a folder: "start <show> <command line>", "restart <flags> <reserved>", "beep".
#pragma once

#include <string>
#include <string_view>

#include "platform/status.h"

namespace vu::platform::sandbox {

class Journal {
 public:
  explicit Journal(std::string file) : file_(std::move(file)) {}

  // Appends |line|; a line break inside it becomes a blank so that one effect stays one line.
  Status Append(std::string_view line) const;

 private:
  std::string file_;
};

}  // namespace vu::platform::sandbox
