// Files in use (a running program) are deleted when Windows next starts: the completion text
// and the unattended report name them, the journal holds the request, and the record goes.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "harness.h"
#include "platform/fault_plan.h"
#include "platform/sandbox/running_programs.h"
#include "platform/status.h"
#include "uninstaller/launch.h"
#include "uninstaller/removal.h"

namespace vu::uninstaller::testing {
namespace {

using platform::Op;

const std::string kDir = kProgramDir;
const std::string kProgram = kDir + "\\Optimizer.exe";
const std::string kSuccess = "Uninstallation successful. Click '&Close' to end.";

class RestartRemovalTest : public ::testing::Test {
 protected:
  // The files the journal says go at the next start, in the order asked.
  std::vector<std::string> Pending() {
    return platform::sandbox::RestartDeletions(temp.machine().hostDir());
  }
  void Run(const std::string& program) {
    ASSERT_EQ(platform::sandbox::WriteRunningPrograms(temp.machine().hostDir(), {program}),
              ERROR_SUCCESS);
  }

  TempMachine temp;
  UninstallWorld world{temp};
};

TEST_F(RestartRemovalTest, ARunningProgramGoesAtTheRestartWithItsFoldersAndTheRecordGoesNow) {
  temp.InstallLogged();
  Run(kProgram);
  world.StartAndConfirm();

  EXPECT_EQ(world.start().completedLabel.caption(), kSuccess + " " + kRestartText + kProgram + ".");
  EXPECT_TRUE(temp.Exists(kProgram));
  EXPECT_FALSE(temp.Exists(kDir + "\\Optimizer.hlp"));
  EXPECT_FALSE(temp.Exists(kMenuFolder));
  // The file first, then the folders that held only it, the deepest first.
  EXPECT_EQ(Pending(), (std::vector<std::string>{kProgram, kDir, kProductParent}));
  EXPECT_FALSE(temp.KeyExists(kRecordKey));
  EXPECT_TRUE(temp.Exists(kUninstaller));
}

TEST_F(RestartRemovalTest, UnattendedRemovalOfAFileInUseIsDoneAndSaysSo) {
  temp.InstallLogged();
  // Windows answers "access denied" for a running program, "sharing violation" for an open file.
  temp.machine().faults().FailSubject(Op::Remove, kProgram, ERROR_ACCESS_DENIED);
  temp.machine().faults().FailSubject(Op::Remove, kDir + "\\Optimizer.cnt",
                                      ERROR_SHARING_VIOLATION);
  std::ostringstream errors;
  EXPECT_EQ(world.app.RunUnattended(errors), kRemoved) << errors.str();
  EXPECT_NE(errors.str().find("removed when Windows restarts"), std::string::npos);
  EXPECT_NE(errors.str().find(kProgram), std::string::npos) << errors.str();
  EXPECT_NE(errors.str().find(kDir + "\\Optimizer.cnt"), std::string::npos) << errors.str();
  EXPECT_EQ(Pending(),
            (std::vector<std::string>{kProgram, kDir + "\\Optimizer.cnt", kDir, kProductParent}));
  EXPECT_FALSE(temp.KeyExists(kRecordKey));
}

TEST_F(RestartRemovalTest, WhatNeitherGoesNowNorCanBeScheduledStaysNamedWithTheRecord) {
  temp.InstallLogged();
  temp.machine().faults().FailSubject(Op::Remove, kProgram, ERROR_ACCESS_DENIED);
  temp.machine().faults().FailSubject(Op::RemoveAtRestart, kProgram, ERROR_ACCESS_DENIED);
  // A read-only file that refuses is not in use: its attribute could not be cleared.
  temp.machine().faults().FailSubject(Op::SetAttributes, kDir + "\\Optimizer.hlp",
                                      ERROR_ACCESS_DENIED);
  temp.machine().sandbox().files().SetAttributes(kDir + "\\Optimizer.hlp", FILE_ATTRIBUTE_READONLY);
  std::ostringstream errors;
  EXPECT_EQ(world.app.RunUnattended(errors), kRemoveIncomplete);
  EXPECT_NE(errors.str().find(kProgram), std::string::npos) << errors.str();
  EXPECT_NE(errors.str().find(kDir + "\\Optimizer.hlp"), std::string::npos) << errors.str();
  EXPECT_TRUE(Pending().empty());
  EXPECT_TRUE(temp.KeyExists(kRecordKey));
}

TEST_F(RestartRemovalTest, ARecordWithoutALogSchedulesTheRunningProgramToo) {
  temp.InstallDefault();
  Run("C:\\PROGRA~1\\VELLOR~1\\OPTIMI~1\\OPTIMI~1.EXE");  // any spelling names it
  world.StartAndConfirm();
  EXPECT_EQ(world.start().completedLabel.caption(), kSuccess + " " + kRestartText + kProgram + ".");
  EXPECT_EQ(Pending(), (std::vector<std::string>{kProgram, kDir, kProductParent}));
  EXPECT_FALSE(temp.KeyExists(kRecordKey));
}

TEST_F(RestartRemovalTest, TheSilentReportGoesToTheNamedLogOrTheDefaultOne) {
  temp.InstallLogged();
  Run(kProgram);
  const Automation quiet = SplitCommandLine("/S /LOG=\"C:\\My Logs\\u.log\" -Velloria Optimizer");
  EXPECT_TRUE(quiet.silent);
  EXPECT_EQ(quiet.log, "C:\\My Logs\\u.log");
  EXPECT_EQ(quiet.argument, "-Velloria Optimizer");
  temp.MakeFolder("C:\\My Logs");
  std::ostringstream errors;
  EXPECT_EQ(RunSilently(world.app, quiet, errors), kRemoved);
  std::string log;
  ASSERT_EQ(temp.machine().files().ReadAll("C:\\My Logs\\u.log", log), ERROR_SUCCESS);
  EXPECT_EQ(log, errors.str());
  EXPECT_NE(log.find("removed when Windows restarts:\n  " + kProgram + "\n"), std::string::npos)
      << log;
  EXPECT_NE(log.find("exit status 0"), std::string::npos) << log;

  // Nothing named: added to the end of the default log; a /LOG= without a file is refused.
  UninstallWorld again(temp);
  std::ostringstream none;
  EXPECT_EQ(RunSilently(again.app, SplitCommandLine("/S -Velloria Optimizer"), none),
            kUnknownProduct);
  EXPECT_EQ(RunSilently(again.app, SplitCommandLine("/S /LOG= -Velloria Optimizer"), none),
            kUnknownProduct);
  ASSERT_EQ(temp.machine().files().ReadAll("C:\\WINDOWS\\TEMP\\Velloria Uninstall.log", log),
            ERROR_SUCCESS);
  EXPECT_NE(log.find("no installed product"), std::string::npos) << log;
  EXPECT_NE(log.find("/LOG= needs a file"), std::string::npos) << log;
}

TEST(CompletionTextTest, AnIncompleteTextNamesTheRestartFilesButNotTheirFolders) {
  EXPECT_EQ(CompletionText({"C:\\A&B"}, {"C:\\X\\y.exe", "C:\\X"}),
            "Uninstallation incomplete. Not removed: C:\\A&&B. Click '&Close' to end. " +
                std::string(kRestartText) + "C:\\X\\y.exe.");
  EXPECT_EQ(CompletionText({}, {}), kSuccess);
}

}  // namespace
}  // namespace vu::uninstaller::testing
