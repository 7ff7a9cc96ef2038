#include "tests/support/run_program.h"

#include <sys/wait.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <fstream>
#include <random>
#include <sstream>

#include "tests/test_paths.h"

namespace vu::testing {
namespace {

std::string Quote(const std::string& word) {
  std::string quoted = "'";
  for (char c : word) {
    if (c == '\'') {
      quoted += "'\\''";
    } else {
      quoted += c;
    }
  }
  return quoted + "'";
}

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

}  // namespace

ProgramRun RunProgram(const std::string& program, const std::vector<std::string>& args) {
  TempFolder scratch;
  std::string command = Quote((BinDir() / program).string());
  for (const std::string& arg : args)
    command += " " + Quote(arg);
  command += " 2>" + Quote(scratch / "err") + " </dev/null";
  ProgramRun run;
  FILE* pipe = ::popen(command.c_str(), "r");
  if (pipe == nullptr) return run;
  char buffer[4096];
  std::size_t got = 0;
  while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
    run.out.append(buffer, got);
  const int status = ::pclose(pipe);
  if (WIFEXITED(status)) run.status = WEXITSTATUS(status);
  run.err = ReadFile(scratch / "err");
  return run;
}

TempFolder::TempFolder() {
  static std::atomic<int> counter{0};
  std::random_device random;
  path_ = std::filesystem::temp_directory_path() /
          ("vu-tools-" + std::to_string(random()) + "-" + std::to_string(++counter));
  std::filesystem::create_directories(path_);
}

TempFolder::~TempFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::vector<std::pair<std::string, std::string>> TreeContents(const std::filesystem::path& root) {
  std::vector<std::pair<std::string, std::string>> files;
  std::error_code ec;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(root, ec)) {
    if (!entry.is_regular_file()) continue;
    files.emplace_back(std::filesystem::relative(entry.path(), root).string(),
                       ReadFile(entry.path()));
  }
  std::sort(files.begin(), files.end());
  return files;
}

}  // namespace vu::testing
