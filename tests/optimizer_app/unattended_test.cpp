// Express with no window (/S): the run's work, its report in the log and its exit status, on
// the engine and through the program.
#include "optimizer/app/unattended.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <string>

#include "fixture.h"
#include "optimizer/app/launch.h"
#include "optimizer/app/operations_table.h"
#include "tests/test_paths.h"

namespace vu::optimizer::testing {
namespace {

using vu::platform::Op;

std::string ReadOn(TempMachine& temp, const std::string& path) {
  std::string text;
  temp.machine().files().ReadAll(path, text);
  return text;
}

TEST(UnattendedExpress, EveryStepIsReportedWithItsOutcomeAndAFailedOneMakesTheStatusOne) {
  TempMachine temp;
  // The virtual-cache step cannot write its values.
  temp.machine().faults().FailNth(Op::WriteProfileString, 1, ERROR_ACCESS_DENIED);
  std::ostringstream errors;
  EXPECT_EQ(RunExpressUnattended(temp.machine(), MakeOperations(), "C:\\run.log", errors), 1);
  const std::string log = ReadOn(temp, "C:\\run.log");
  EXPECT_EQ(log, errors.str());
  EXPECT_NE(log.find("\nBroken links fixed: done\n"), std::string::npos) << log;
  EXPECT_NE(log.find("\nVirtualCache optimized: failed\n"), std::string::npos) << log;
  EXPECT_NE(log.find("\nOrphaned .dlls removed: done\n"), std::string::npos) << log;
  // The tunings changed the machine, so there is a backup, and the report says where.
  EXPECT_NE(log.find("\nA backup of all changes was saved in C:\\"), std::string::npos) << log;
  EXPECT_NE(log.find("exit status 1"), std::string::npos) << log;
  // The tuning that did work took effect; nobody asked for a restart.
  std::string delay;
  EXPECT_EQ(
      temp.machine().files().ReadProfileString("C:\\MSDOS.SYS", "Options", "BootMenuDelay", delay),
      ERROR_SUCCESS);
  EXPECT_EQ(delay, "1");
  EXPECT_EQ(temp.Journal().find("restart"), std::string::npos) << temp.Journal();
}

TEST(UnattendedExpress, WithoutALogTheReportsGoToTheEndOfTheDefaultLog) {
  TempMachine temp;
  std::ostringstream errors;
  EXPECT_EQ(RunExpressUnattended(temp.machine(), MakeOperations(), "", errors), 0) << errors.str();
  EXPECT_EQ(RunExpressUnattended(temp.machine(), MakeOperations(), "", errors), 0);
  const std::string log = ReadOn(temp, "C:\\WINDOWS\\TEMP\\Velloria Optimizer.log");
  const std::size_t first = log.find("exit status 0");
  ASSERT_NE(first, std::string::npos) << log;
  EXPECT_NE(log.find("exit status 0", first + 1), std::string::npos) << log;
}

TEST(UnattendedExpress, TheWindowsProgramRefusesWhatItDoesNotKnowBesideSlashS) {
  std::string error;
  EXPECT_TRUE(CheckSilentArguments(
      {"Optimizer.exe", "/S", "/LOG=C:\\a b.log", "--fault", "Remove:1:5", "--fault=Copy:1:5"},
      error));
  for (const char* bad : {"/LOG=", "/X", "--express", "/LOGS"}) {
    EXPECT_FALSE(CheckSilentArguments({"Optimizer.exe", "/S", bad}, error)) << bad;
    EXPECT_FALSE(error.empty());
  }
}

// The native program's exit status for "optimizer --machine DIR |arguments|".
int RunNative(TempMachine& temp, const std::string& arguments) {
  temp.machine().Commit();
  const std::string command = (vu::testing::BinDir() / "optimizer").string() + " --machine '" +
                              temp.dir().string() + "' " + arguments + " 2>/dev/null";
  const int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(UnattendedExpress, TheProgramTakesSlashSAndTheLogAfterItsMachine) {
  TempMachine temp;
  EXPECT_EQ(RunNative(temp, "/S '/LOG=C:\\express.log'"), 0);
  EXPECT_NE(ReadOn(temp, "C:\\express.log").find("Registry erros fixed: done"), std::string::npos);
  EXPECT_EQ(RunNative(temp,
                      "/S --fault 'Remove:=C:\\WINDOWS\\DESKTOP\\Old Paint.lnk:32' "
                      "--fault WriteProfileString:1:5 '/LOG=C:\\failed.log'"),
            1);
  EXPECT_NE(ReadOn(temp, "C:\\failed.log").find("exit status 1"), std::string::npos);
  EXPECT_EQ(RunNative(temp, "/S /LOG="), 2);
  EXPECT_EQ(RunNative(temp, "/S /X"), 2);
}

}  // namespace
}  // namespace vu::optimizer::testing
