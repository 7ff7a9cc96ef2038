// How a run tells its outcome to whoever started it without a screen: the exit status of an
// Express run, the results page read out in the transcript, and a fast run whose script ends on
// the results page.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "fixture.h"
#include "optimizer/app/launch.h"
#include "optimizer/app/operations_table.h"
#include "tests/support/run_program.h"

namespace vu::optimizer::testing {
namespace {

using vu::platform::Op;

TEST(RunOutcome, AnExpressRunExitsOneWhenAStepFailedAndShowsItsWarning) {
  OptimizerWorld clean(96, MakeOperations());
  EXPECT_EQ(ExitStatus(clean.Play(kExpressScript), true, clean.app.state()), 0)
      << clean.errors.str();
  EXPECT_EQ(clean.main().caption(), "Finished Optimizing");
  EXPECT_EQ(clean.temp.Journal(), "") << "the command line's script clears the restart box";

  OptimizerWorld world(96, MakeOperations());
  world.temp.machine().faults().FailNth(Op::WriteProfileString, 1, ERROR_ACCESS_DENIED);
  const int code = world.Play(kExpressScript);
  EXPECT_EQ(code, 0) << "the program itself ends normally";
  EXPECT_EQ(ExitStatus(code, true, world.app.state()), 1);
  EXPECT_EQ(ExitStatus(code, false, world.app.state()), 0) << "only an --express run says so";
  EXPECT_EQ(ExitStatus(3, true, clean.app.state()), 3) << "a failed script keeps its status";
  const ResultPanel& results = world.main().result;
  EXPECT_EQ(results.steps[Index(Step::VirtualCache)].tick.picture(), "warning");
  EXPECT_EQ(results.steps[Index(Step::DosBoot)].tick.picture(), "tick");
}

TEST(RunOutcome, AFastRunEndingOnTheResultsPageReadsItOutAndEndsIdle) {
  TempMachine temp;
  // A read-only system.ini: the virtual-cache step cannot write its values.
  ASSERT_EQ(temp.machine().files().SetAttributes("C:\\WINDOWS\\SYSTEM.INI",
                                                 FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE),
            ERROR_SUCCESS);
  temp.machine().Commit();
  const std::string script = (temp.dir() / "results.txt").string();
  {
    FILE* file = std::fopen(script.c_str(), "w");
    ASSERT_NE(file, nullptr);
    std::fputs(
        "click frmMain.WelcomeOption1\n"
        "click frmMain.nextButton\n"
        "until frmMain.caption = \"Finished Optimizing\" within 3600000\n",
        file);
    std::fclose(file);
  }
  const vu::testing::ProgramRun run = vu::testing::RunProgram(
      "optimizer",
      {"--machine", temp.dir().string(), "--fast", "--transcript", "--script", script});
  EXPECT_EQ(run.status, toolkit::kExitIdle) << run.out << run.err;
  for (const char* line :
       {"frmMain.vcacheLabel picture warning \"VirtualCache optimized\"\n",
        "frmMain.linkLabel picture tick \"Broken links fixed\"\n",
        "frmMain.backupLabel picture none \"A backup of all changes was saved in "}) {
    EXPECT_NE(run.out.find(line), std::string::npos) << line << "\n" << run.out;
  }
}

}  // namespace
}  // namespace vu::optimizer::testing
