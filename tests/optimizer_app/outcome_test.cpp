// How a run tells its outcome to whoever started it without a screen: the exit status of an
// Express run, the results page read out in the transcript, and a fast run whose script ends on
// the results page.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <memory>
#include <string>

#include "fixture.h"
#include "optimizer/app/launch.h"
#include "optimizer/app/operations_table.h"
#include "tests/test_paths.h"

namespace vu::optimizer::testing {
namespace {

using vu::platform::sandbox::Op;

TEST(RunOutcome, AnExpressRunExitsOneWhenAStepFailedAndShowsItsWarning) {
  OptimizerWorld clean(96, MakeOperations());
  EXPECT_EQ(ExitStatus(clean.Play(kExpressScript), true, clean.app.state()), 0)
      << clean.errors.str();

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

// Runs a program of the build and gives its exit status and standard output.
int RunProgram(const std::string& command, std::string& output) {
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen((command + " 2>/dev/null").c_str(), "r"),
                                             ::pclose);
  if (!pipe) return -1;
  std::array<char, 4096> buffer;
  std::size_t read = 0;
  while ((read = std::fread(buffer.data(), 1, buffer.size(), pipe.get())) > 0)
    output.append(buffer.data(), read);
  const int status = ::pclose(pipe.release());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string Quote(const std::string& text) {
  return "'" + text + "'";
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
  std::string output;
  const int code =
      RunProgram((vu::testing::BinDir() / "optimizer").string() + " --machine " +
                     Quote(temp.dir().string()) + " --fast --transcript --script " + Quote(script),
                 output);
  EXPECT_EQ(code, toolkit::kExitIdle) << output;
  EXPECT_NE(output.find("frmMain.vcacheLabel picture warning \"VirtualCache optimized\"\n"),
            std::string::npos)
      << output;
  EXPECT_NE(output.find("frmMain.linkLabel picture tick \"Broken links fixed\"\n"),
            std::string::npos);
  EXPECT_NE(output.find("frmMain.backupLabel picture none \"A backup of all changes was saved in "),
            std::string::npos);

  output.clear();
  EXPECT_EQ(RunProgram((vu::testing::BinDir() / "optimizer").string() + " --machine " +
                           Quote(temp.dir().string()) + " --fast --express",
                       output),
            1);
}

}  // namespace
}  // namespace vu::optimizer::testing
