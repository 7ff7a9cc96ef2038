#include "tests/support/temp_machine.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>
#include <system_error>

#include "platform/sandbox/facts.h"
#include "platform/sandbox/layout.h"
#include "platform/sandbox/shell_link.h"
#include "platform/status.h"

namespace vu::test_support {
namespace {

std::filesystem::path FreshFolder(std::string_view prefix) {
  static std::atomic<int> counter{0};
  std::random_device random;
  return std::filesystem::temp_directory_path() /
         (std::string(prefix) + std::to_string(random()) + "-" + std::to_string(++counter));
}

}  // namespace

TestMachine::TestMachine(std::unique_ptr<vu::platform::sandbox::SandboxMachine> machine)
    : SandboxHolder{std::move(machine)}, FaultyMachine(*SandboxHolder::sandbox) {}

TempMachine::TempMachine(std::string_view prefix, const std::string& programFolder,
                         int pixelsPerInch)
    : dir_(FreshFolder(prefix)) {
  std::string error;
  if (!vu::platform::sandbox::SandboxMachine::Init(dir_.string(), &error)) {
    ADD_FAILURE() << "cannot make a machine: " << error;
    std::abort();
  }
  const std::string ini = (dir_ / vu::platform::sandbox::kMachineIni).string();
  vu::platform::sandbox::WriteFacts(ini, {{"LogPixelsX", std::to_string(pixelsPerInch)}});
  auto sandbox = vu::platform::sandbox::SandboxMachine::Open(dir_.string(), &error);
  if (!sandbox) {
    ADD_FAILURE() << "cannot open the machine: " << error;
    std::abort();
  }
  machine_ = std::make_unique<TestMachine>(std::move(sandbox));
  machine_->SetProgramFolder(programFolder);
}

TempMachine::~TempMachine() {
  machine_.reset();
  std::error_code ignored;
  std::filesystem::remove_all(dir_, ignored);
}

std::string TempMachine::Journal() const {
  std::ifstream in(dir_ / vu::platform::sandbox::kJournal);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

bool TempMachine::Exists(const std::string& path) {
  return machine_->files().Attributes(path) != INVALID_FILE_ATTRIBUTES;
}

void TempMachine::SetFacts(const std::vector<std::pair<std::string, std::string>>& facts) {
  const std::string ini = (dir_ / vu::platform::sandbox::kMachineIni).string();
  EXPECT_EQ(vu::platform::sandbox::WriteFacts(ini, facts), ERROR_SUCCESS) << ini;
}

void PlantFolder(vu::platform::FileSystem& files, const std::string& path) {
  for (std::size_t at = path.find('\\'); at != std::string::npos;) {
    at = path.find('\\', at + 1);
    files.MakeDirectory(path.substr(0, at));
  }
}

void PlantFile(vu::platform::FileSystem& files, const std::string& path, std::string_view bytes) {
  PlantFolder(files, path.substr(0, path.rfind('\\')));
  EXPECT_EQ(files.WriteAll(path, bytes), ERROR_SUCCESS) << path;
}

void PlantLink(vu::platform::FileSystem& files, const std::string& path,
               const std::string& target) {
  PlantFile(files, path, vu::platform::sandbox::BuildShellLink(target));
}

}  // namespace vu::test_support
