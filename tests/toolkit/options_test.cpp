#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

#include "toolkit/options.h"
#include "toolkit/script.h"

namespace vu::toolkit {
namespace {

TEST(Options, ParsesTheCommonCommandLineAndTheProgramsOwnOptions) {
  Options options;
  bool express = false;
  std::string restore;
  std::string error;
  ASSERT_TRUE(ParseOptions(
      {"--machine", "/tmp/m", "--app-path=C:\\Program Files\\Optimizer.exe", "--script", "s.txt",
       "--fast", "--transcript", "--express", "--fault",
       "Remove:=C:\\A b\\x.lnk:ERROR_ACCESS_DENIED", "--restore", "/tmp/r",
       "--fault=RegOpenKey:2:5", "--", "-Velloria", "Optimizer", "--fast"},
      options, error,
      {{.name = "--express", .flag = &express}, {.name = "--restore", .value = &restore}}))
      << error;
  EXPECT_EQ(options.machine, "/tmp/m");
  EXPECT_EQ(options.appPath, "C:\\Program Files\\Optimizer.exe");
  EXPECT_EQ(options.script, "s.txt");
  EXPECT_TRUE(options.fast && options.transcript && express);
  EXPECT_FALSE(options.help);
  EXPECT_EQ(restore, "/tmp/r");
  EXPECT_EQ(options.faults, (std::vector<std::string>{"Remove:=C:\\A b\\x.lnk:ERROR_ACCESS_DENIED",
                                                      "RegOpenKey:2:5"}));
  EXPECT_EQ(options.arguments, "-Velloria Optimizer --fast");
}

TEST(Options, RejectsUnknownOptionsMissingValuesBadFaultsAndStrayArguments) {
  bool yes = false;
  const std::vector<ProgramOption> own = {{.name = "--yes", .flag = &yes}};
  for (const std::vector<std::string>& args : {std::vector<std::string>{"--fastest"},
                                               {"--machine"},
                                               {"--script="},
                                               {"stray"},
                                               {"--yes=1"},
                                               {"--express"},
                                               {"--restore", "x"},
                                               {"--fault"},
                                               {"--fault", "Remove:1"},
                                               {"--fault", "Erase:1:5"},
                                               {"--fault", "Remove:0:5"},
                                               {"--fault", "Remove:1:0"},
                                               {"--fault", "Remove:=:5"},
                                               {"--fault", "Remove:1:ERROR_NONSENSE"}}) {
    Options options;
    std::string error;
    EXPECT_FALSE(ParseOptions(args, options, error, own)) << args.back();
    // The message names the faulty argument: the fault text, or the option itself.
    const std::string& named = args[0] == "--fault" && args.size() > 1 ? args[1] : args[0];
    EXPECT_NE(error.find(named.substr(0, named.find('='))), std::string::npos) << error;
    EXPECT_EQ(error.find('\n'), std::string::npos) << error;
  }
}

TEST(Options, HelpIsAnsweredWhateverElseIsThere) {
  Options options;
  std::string error;
  ASSERT_TRUE(ParseOptions({"--fast", "--help"}, options, error)) << error;
  EXPECT_TRUE(options.help);
}

TEST(Options, AFolderIsNotAReadableScript) {
  std::string error;
  EXPECT_EQ(LoadScript(::testing::TempDir(), error), nullptr);
  EXPECT_NE(error.find("folder"), std::string::npos) << error;
  std::unique_ptr<Script> script;
  EXPECT_FALSE(LoadScenario(::testing::TempDir(), "wait 1\n", script, error));
}

TEST(Options, LoadScriptReportsAMissingFileAndAMalformedLine) {
  std::string error;
  EXPECT_EQ(LoadScript("/nonexistent/script.txt", error), nullptr);
  EXPECT_NE(error.find("/nonexistent/script.txt"), std::string::npos);

  const std::string path = ::testing::TempDir() + "toolkit_options_script.txt";
  { std::ofstream(path) << "wait 10\nclick frmMain\n"; }
  EXPECT_EQ(LoadScript(path, error), nullptr);
  EXPECT_EQ(error.rfind("script line 2: ", 0), 0u) << error;
  { std::ofstream(path) << "wait 10\nclick frmMain.nextButton\n"; }
  auto script = LoadScript(path, error);
  ASSERT_NE(script, nullptr) << error;
  EXPECT_EQ(script->steps().size(), 2u);
  std::remove(path.c_str());
}

}  // namespace
}  // namespace vu::toolkit
