#include "platform/sandbox/journal.h"

#include "platform/sandbox/host_io.h"

namespace vu::platform::sandbox {

Status Journal::Append(std::string_view line) const {
  std::string text(line);
  for (char& c : text) {
    if (c == '\r' || c == '\n') c = ' ';
  }
  text += '\n';
  return AppendHostFile(file_, text);
}

}  // namespace vu::platform::sandbox
