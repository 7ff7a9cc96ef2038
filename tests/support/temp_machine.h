// A new sandbox machine in a temporary folder, removed again with the object: the test programs'
// shared start. Each program's harness derives its own, with its program's folder.
#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/faulty_machine.h"
#include "platform/sandbox/machine.h"
#include "toolkit/scripted_machine.h"

namespace vu::test_support {

namespace detail {
// Holds the sandbox machine so that it is made before the fault injector that wraps it.
struct SandboxHolder {
  std::unique_ptr<vu::platform::sandbox::SandboxMachine> sandbox;
};
}  // namespace detail

// The machine the tests hand to the programs: the sandbox machine behind a fault injector, so
// that a test can make chosen calls fail (faults()), with the folder dialog answered as a script
// answers it (QueueBrowseAnswer). The sandbox's own commands pass through.
class TestMachine final : private detail::SandboxHolder, public vu::platform::FaultyMachine {
 public:
  explicit TestMachine(std::unique_ptr<vu::platform::sandbox::SandboxMachine> machine);

  vu::platform::sandbox::SandboxMachine& sandbox() { return *SandboxHolder::sandbox; }
  const std::string& hostDir() const { return SandboxHolder::sandbox->hostDir(); }
  std::string HostPath(std::string_view winPath) const {
    return SandboxHolder::sandbox->HostPath(winPath);
  }
  void SetProgramFolder(std::string folder) {
    SandboxHolder::sandbox->SetProgramFolder(std::move(folder));
  }
  void SetCommandLine(std::string text) { SandboxHolder::sandbox->SetCommandLine(std::move(text)); }
  vu::platform::Status Commit() { return SandboxHolder::sandbox->Commit(); }

  vu::platform::Shell& shell() override { return answered_; }
  // The answer to the next folder dialog: a path, or nullopt for "cancel".
  void QueueBrowseAnswer(std::optional<std::string> answer) {
    answered_.QueueBrowseAnswer(std::move(answer));
  }

 private:
  vu::toolkit::AnsweredShell answered_{FaultyMachine::shell()};
};

class TempMachine {
 public:
  // A machine in a fresh folder named "<prefix><random>-<count>" in the system's temporary
  // folder, reporting |pixelsPerInch|, with |programFolder| as the running program's folder.
  // Aborts the test program when the machine cannot be made.
  TempMachine(std::string_view prefix, const std::string& programFolder, int pixelsPerInch);
  ~TempMachine();
  TempMachine(const TempMachine&) = delete;
  TempMachine& operator=(const TempMachine&) = delete;

  TestMachine& machine() { return *machine_; }
  const std::filesystem::path& dir() const { return dir_; }
  // journal.log as it stands (empty when nothing was journalled).
  std::string Journal() const;
  // Whether a file or folder is at a Windows path.
  bool Exists(const std::string& path);
  // Sets facts of machine.ini (the machine's Windows version, folders, memory, ...); the
  // machine reads them anew at each question.
  void SetFacts(const std::vector<std::pair<std::string, std::string>>& facts);

 private:
  std::filesystem::path dir_;
  std::unique_ptr<TestMachine> machine_;
};

// Makes the folder |path| and every missing folder above it.
void PlantFolder(vu::platform::FileSystem& files, const std::string& path);
// Makes |path| a file holding |bytes|, with every missing folder above it.
void PlantFile(vu::platform::FileSystem& files, const std::string& path, std::string_view bytes);
// Makes |path| a shortcut to |target|, with every missing folder above it.
void PlantLink(vu::platform::FileSystem& files, const std::string& path, const std::string& target);

}  // namespace vu::test_support
