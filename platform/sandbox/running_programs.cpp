#include "platform/sandbox/running_programs.h"

#include <filesystem>
#include <system_error>

#include "platform/sandbox/host_io.h"
#include "platform/sandbox/layout.h"
#include "platform/text.h"

namespace vu::platform::sandbox {
namespace {

// The lines of a host text file, without their ends and blank lines; none when it is missing.
std::vector<std::string> ReadLines(const std::string& file) {
  std::vector<std::string> lines;
  std::string text;
  if (ReadHostFile(file, text) != ERROR_SUCCESS) return lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find_first_of("\r\n", start);
    if (end == std::string::npos) end = text.size();
    const std::string_view line = Trim(std::string_view(text).substr(start, end - start));
    if (!line.empty()) lines.emplace_back(line);
    start = end + 1;
  }
  return lines;
}

std::string RunningFile(const std::string& machineDir) {
  return machineDir + "/" + std::string(kRunningFile);
}

}  // namespace

RunningPrograms::RunningPrograms(const std::string& machineDir, const PathResolver& resolver)
    : machineDir_(machineDir), resolver_(resolver) {}

bool RunningPrograms::InUse(std::string_view path) const {
  const std::vector<std::string> running = ReadRunningPrograms(machineDir_);
  if (running.empty()) return false;
  HostEntry asked;
  if (resolver_.Resolve(path, asked) != ERROR_SUCCESS || !asked.exists()) return false;
  for (const std::string& program : running) {
    HostEntry listed;
    if (resolver_.Resolve(program, listed) == ERROR_SUCCESS && listed.host == asked.host)
      return true;
  }
  return false;
}

std::vector<std::string> ReadRunningPrograms(const std::string& machineDir) {
  return ReadLines(RunningFile(machineDir));
}

Status WriteRunningPrograms(const std::string& machineDir, const std::vector<std::string>& paths) {
  if (paths.empty()) {
    std::error_code ec;
    std::filesystem::remove(RunningFile(machineDir), ec);
    return ec ? StatusFromError(ec) : ERROR_SUCCESS;
  }
  std::string text;
  for (const std::string& path : paths)
    text += path + "\n";
  return ReplaceHostFile(RunningFile(machineDir), text);
}

std::vector<std::string> RestartDeletions(const std::string& machineDir) {
  std::vector<std::string> paths;
  for (const std::string& line : ReadLines(machineDir + "/" + std::string(kJournal))) {
    if (line.starts_with(kRestartDeletionPrefix))
      paths.push_back(line.substr(kRestartDeletionPrefix.size()));
  }
  return paths;
}

}  // namespace vu::platform::sandbox
