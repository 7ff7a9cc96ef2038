#include "platform/win32/command_line.h"

namespace vu::platform::win32 {

std::string ArgumentsAfterProgramName(std::string_view commandLine) {
  auto blank = [](char c) { return c == ' ' || c == '\t'; };
  std::size_t i = 0;
  if (!commandLine.empty() && commandLine[0] == '"') {
    // A quoted name runs to the next quote, which may be followed by the argument at once.
    const std::size_t close = commandLine.find('"', 1);
    i = close == std::string_view::npos ? commandLine.size() : close + 1;
  } else {
    while (i < commandLine.size() && !blank(commandLine[i]))
      ++i;
  }
  while (i < commandLine.size() && blank(commandLine[i]))
    ++i;
  return std::string(commandLine.substr(i));
}

}  // namespace vu::platform::win32
