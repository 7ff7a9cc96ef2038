// A running program's file on a sandbox machine: in use until the machine restarts, when a
// deletion asked for now happens.
#include "platform/sandbox/running_programs.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/fresh_machine.h"

namespace vu::platform::sandbox {
namespace {

const std::string kProgram = "C:\\Program Files\\Tool\\Tool.exe";

class RunningProgramsTest : public vu::test_support::FreshMachineTest {
 protected:
  void SetUp() override {
    FreshMachineTest::SetUp();
    ASSERT_EQ(files().MakeDirectory("C:\\Program Files\\Tool"), ERROR_SUCCESS);
    ASSERT_EQ(files().WriteAll(kProgram, "program"), ERROR_SUCCESS);
    ASSERT_EQ(files().WriteAll("C:\\Program Files\\Tool\\Tool.hlp", "help"), ERROR_SUCCESS);
  }
  std::string Dir() const { return MachineDir(); }
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
