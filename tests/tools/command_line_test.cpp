// The programs and vmachine as a user starts them: usage, refused command lines, faults injected
// from the command line, and runs on the virtual clock that repeat exactly.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/run_program.h"

namespace vu::testing {
namespace {

namespace fs = std::filesystem;

const std::vector<std::string> kPrograms = {"vmachine", "optimizer", "install", "uninstall"};
constexpr const char* kOldPaint = "C:\\WINDOWS\\DESKTOP\\Old Paint.lnk";

bool OneLine(const std::string& text) {
  return !text.empty() && text.find('\n') == text.size() - 1;
}

// A new machine with one shortcut on the desktop whose target is gone, for the Optimizer.
std::string PlantedMachine(const TempFolder& temp, const std::string& name) {
  const std::string machine = temp / name;
  EXPECT_EQ(RunProgram("vmachine", {"init", machine}).status, 0);
  EXPECT_EQ(RunProgram("vmachine", {"lnk", machine, kOldPaint, "C:\\PAINT\\PAINT.EXE"}).status, 0);
  return machine;
}

bool OnMachine(const std::string& machine, const std::string& winPath) {
  const ProgramRun run = RunProgram("vmachine", {"path", machine, winPath});
  std::string host = run.out;
  if (!host.empty() && host.back() == '\n') host.pop_back();
  return run.status == 0 && fs::exists(host);
}

TEST(CommandLine, EveryProgramAnswersHelpWithItsUsage) {
  for (const std::string& program : kPrograms) {
    const ProgramRun run = RunProgram(program, {"--help"});
    EXPECT_EQ(run.status, 0) << program << ": " << run.err;
    EXPECT_EQ(run.out.rfind("usage: ", 0), 0u) << program << ": " << run.out;
    EXPECT_NE(run.out.find("--fault"), std::string::npos) << program;
    EXPECT_EQ(run.err, "") << program;
  }
  const ProgramRun helpc = RunProgram("helpc", {"--help"});
  EXPECT_EQ(helpc.status, 0) << helpc.err;
  EXPECT_EQ(helpc.out.rfind("usage: helpc ", 0), 0u) << helpc.out;
}

TEST(CommandLine, AMalformedFaultIsOneLineAndExitTwo) {
  TempFolder temp;
  const std::string machine = PlantedMachine(temp, "m");
  for (const std::string& program : kPrograms) {
    for (const std::string fault : {"Erase:1:5", "Remove:0:5", "Remove:1", "Remove:=x:0"}) {
      std::vector<std::string> args = {"--fault", fault};
      if (program == "vmachine") {
        args.insert(args.end(), {"attrib", machine, "C:\\MSDOS.SYS"});
      } else {
        args.insert(args.end(), {"--machine", machine, "--fast"});
      }
      const ProgramRun run = RunProgram(program, args);
      EXPECT_EQ(run.status, 2) << program << " " << fault;
      EXPECT_TRUE(OneLine(run.err)) << program << ": " << run.err;
      EXPECT_NE(run.err.find(fault), std::string::npos) << run.err;
    }
  }
  EXPECT_TRUE(OnMachine(machine, kOldPaint));
}

TEST(CommandLine, AFaultFromTheCommandLineReachesTheMachine) {
  TempFolder temp;
  const std::string failing = PlantedMachine(temp, "failing");
  const std::string clean = PlantedMachine(temp, "clean");
  const std::string fault =
      std::string("Remove:=c:/windows/desktop/OLD PAINT.LNK:ERROR_ACCESS_DENIED");
  // The step that could not remove the shortcut failed, and an Express run says so.
  EXPECT_EQ(RunProgram("optimizer", {"--machine", failing, "--express", "--fast", "--fault", fault})
                .status,
            1);
  EXPECT_TRUE(OnMachine(failing, kOldPaint));
  EXPECT_EQ(RunProgram("optimizer", {"--machine", clean, "--express", "--fast"}).status, 0);
  EXPECT_FALSE(OnMachine(clean, kOldPaint));

  const ProgramRun denied =
      RunProgram("vmachine", {"--fault", "Attributes:=C:\\MSDOS.SYS:ERROR_ACCESS_DENIED", "attrib",
                              clean, "c:\\msdos.sys"});
  EXPECT_EQ(denied.status, 2);
  EXPECT_NE(denied.err.find("access is denied"), std::string::npos) << denied.err;
  EXPECT_EQ(RunProgram("vmachine", {"attrib", clean, "c:\\msdos.sys"}).status, 0);
}

TEST(CommandLine, TwoFastRunsOnCopiesOfOneMachineLeaveTheSameBackup) {
  TempFolder temp;
  const std::string first = PlantedMachine(temp, "first");
  const std::string second = temp / "second";
  fs::copy(first, second, fs::copy_options::recursive);
  ASSERT_EQ(RunProgram("optimizer", {"--machine", first, "--express", "--fast"}).status, 0);
  // A second later by the host's clock, which a virtual run must not read.
  std::this_thread::sleep_for(std::chrono::milliseconds(1100));
  ASSERT_EQ(RunProgram("optimizer", {"--machine", second, "--express", "--fast"}).status, 0);
  const fs::path backups = fs::path("drives") / "C" / "MY DOCUMENTS" / "Velloria Optimizer Backups";
  const auto one = TreeContents(fs::path(first) / backups);
  const auto two = TreeContents(fs::path(second) / backups);
  ASSERT_FALSE(one.empty());
  EXPECT_NE(
      std::find_if(one.begin(), one.end(),
                   [](const auto& file) { return file.first.find(".lnk") != std::string::npos; }),
      one.end());
  EXPECT_EQ(one, two);
}

// A folder where a file is wanted (a script, a registry file to import) is refused in one line.
TEST(CommandLine, AFolderForAFileIsRefusedWithOneLine) {
  TempFolder temp;
  const std::string machine = PlantedMachine(temp, "m");
  for (const std::string program : {"optimizer", "install", "uninstall"}) {
    const ProgramRun run =
        RunProgram(program, {"--machine", machine, "--fast", "--script", temp.path().string()});
    EXPECT_EQ(run.status, 2) << program;
    EXPECT_TRUE(OneLine(run.err)) << program << ": " << run.err;
  }
  const ProgramRun run = RunProgram("vmachine", {"reg", "import", machine, temp.path().string()});
  EXPECT_EQ(run.status, 2);
  EXPECT_TRUE(OneLine(run.err)) << run.err;
}

}  // namespace
}  // namespace vu::testing
