// A running program's file on a sandbox machine: in use until the machine restarts, when a
// deletion asked for now happens.
#include "platform/sandbox/running_programs.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/sandbox/machine.h"

namespace vu::platform::sandbox {
namespace {

namespace fs = std::filesystem;

const std::string kProgram = "C:\\Program Files\\Tool\\Tool.exe";

class RunningProgramsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/vu_running_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;
    std::string error;
    ASSERT_TRUE(SandboxMachine::Init(Dir(), &error)) << error;
    machine_ = SandboxMachine::Open(Dir(), &error);
    ASSERT_TRUE(machine_) << error;
    ASSERT_EQ(files().MakeDirectory("C:\\Program Files\\Tool"), ERROR_SUCCESS);
    ASSERT_EQ(files().WriteAll(kProgram, "program"), ERROR_SUCCESS);
    ASSERT_EQ(files().WriteAll("C:\\Program Files\\Tool\\Tool.hlp", "help"), ERROR_SUCCESS);
  }
  void TearDown() override {
    machine_.reset();
    fs::remove_all(dir_);
  }
  std::string Dir() const { return (dir_ / "m").string(); }
  FileSystem& files() { return machine_->files(); }

  fs::path dir_;
  std::unique_ptr<SandboxMachine> machine_;
};

TEST_F(RunningProgramsTest, ARunningProgramIsInUseInAnySpellingUntilItEnds) {
  ASSERT_EQ(WriteRunningPrograms(Dir(), {"c:/program files/tool/TOOL.EXE"}), ERROR_SUCCESS);
  EXPECT_EQ(ReadRunningPrograms(Dir()), std::vector<std::string>{"c:/program files/tool/TOOL.EXE"});
  EXPECT_EQ(files().Remove(kProgram), ERROR_SHARING_VIOLATION);
  EXPECT_EQ(files().Remove("C:\\PROGRA~1\\TOOL\\TOOL.EXE"), ERROR_SHARING_VIOLATION);
  EXPECT_EQ(files().Copy("C:\\Program Files\\Tool\\Tool.hlp", kProgram, false),
            ERROR_SHARING_VIOLATION);
  EXPECT_EQ(files().Remove("C:\\Program Files\\Tool\\Tool.hlp"), ERROR_SUCCESS);

  // What goes at the next start is journalled; only what exists can be named.
  EXPECT_EQ(files().RemoveAtRestart(kProgram), ERROR_SUCCESS);
  EXPECT_EQ(files().RemoveAtRestart("C:\\Program Files\\Tool\\None.exe"), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(RestartDeletions(Dir()), std::vector<std::string>{kProgram});

  // Once it has ended, its file is free.
  ASSERT_EQ(WriteRunningPrograms(Dir(), {}), ERROR_SUCCESS);
  EXPECT_TRUE(ReadRunningPrograms(Dir()).empty());
  EXPECT_EQ(files().Remove(kProgram), ERROR_SUCCESS);
}

}  // namespace
}  // namespace vu::platform::sandbox
