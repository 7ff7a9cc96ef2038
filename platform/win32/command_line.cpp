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

std::vector<std::string> SplitCommandLine(std::string_view commandLine) {
  auto blank = [](char c) { return c == ' ' || c == '\t'; };
  std::vector<std::string> arguments;
  std::size_t i = 0;
  std::string name;
  if (!commandLine.empty() && commandLine[0] == '"') {
    const std::size_t close = commandLine.find('"', 1);
    const std::size_t end = close == std::string_view::npos ? commandLine.size() : close;
    name = std::string(commandLine.substr(1, end - 1));
    i = end == commandLine.size() ? end : end + 1;
  } else {
    while (i < commandLine.size() && !blank(commandLine[i]))
      name.push_back(commandLine[i++]);
  }
  arguments.push_back(std::move(name));
  for (;;) {
    while (i < commandLine.size() && blank(commandLine[i]))
      ++i;
    if (i >= commandLine.size()) break;
    std::string argument;
    bool quoted = false;
    while (i < commandLine.size() && (quoted || !blank(commandLine[i]))) {
      std::size_t slashes = 0;
      while (i < commandLine.size() && commandLine[i] == '\\') {
        ++slashes;
        ++i;
      }
      if (i < commandLine.size() && commandLine[i] == '"') {
        argument.append(slashes / 2, '\\');
        if (slashes % 2 == 1) {
          argument.push_back('"');
        } else if (quoted && i + 1 < commandLine.size() && commandLine[i + 1] == '"') {
          argument.push_back('"');
          ++i;
        } else {
          quoted = !quoted;
        }
        ++i;
      } else {
        argument.append(slashes, '\\');
        if (i < commandLine.size() && (quoted || !blank(commandLine[i]))) {
          argument.push_back(commandLine[i++]);
        }
      }
    }
    arguments.push_back(std::move(argument));
  }
  return arguments;
}

}  // namespace vu::platform::win32
