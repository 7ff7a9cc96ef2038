// A new sandbox machine in a temporary folder, removed again with the object: the test programs'
// shared start. Each program's harness derives its own, with its program's folder.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

#include "platform/sandbox/machine.h"

namespace vu::test_support {

class TempMachine {
 public:
  // A machine in a fresh folder named "<prefix><random>-<count>" in the system's temporary
  // folder, reporting |pixelsPerInch|, with |programFolder| as the running program's folder.
  // Aborts the test program when the machine cannot be made.
  TempMachine(std::string_view prefix, const std::string& programFolder, int pixelsPerInch);
  ~TempMachine();
  TempMachine(const TempMachine&) = delete;
  TempMachine& operator=(const TempMachine&) = delete;

  vu::platform::sandbox::SandboxMachine& machine() { return *machine_; }
  const std::filesystem::path& dir() const { return dir_; }
  // journal.log as it stands (empty when nothing was journalled).
  std::string Journal() const;
  // Whether a file or folder is at a Windows path.
  bool Exists(const std::string& path);

 private:
  std::filesystem::path dir_;
  std::unique_ptr<vu::platform::sandbox::SandboxMachine> machine_;
};

}  // namespace vu::test_support
