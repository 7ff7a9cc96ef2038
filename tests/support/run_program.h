// Runs one of the build's programs as a user would, and keeps what it said and its exit status.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace vu::testing {

struct ProgramRun {
  int status = -1;  // the exit status; -1 when it did not exit normally
  std::string out;
  std::string err;
};

// Runs |program| (a name in the build's bin folder) with |args|, each passed as one argument.
ProgramRun RunProgram(const std::string& program, const std::vector<std::string>& args);

// A fresh folder in the system's temporary folder, removed again with the object.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  const std::filesystem::path& path() const { return path_; }
  std::string operator/(const std::string& name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

// Every file below |root|, by its path relative to |root|, with its bytes.
std::vector<std::pair<std::string, std::string>> TreeContents(const std::filesystem::path& root);

}  // namespace vu::testing
