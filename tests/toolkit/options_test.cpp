#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

#include "toolkit/options.h"
#include "toolkit/script.h"

namespace vu::toolkit {
namespace {

TEST(Options, ParsesTheCommonCommandLine) {
  Options options;
  std::string error;
  ASSERT_TRUE(ParseOptions({"--machine", "/tmp/m", "--app-path=C:\\Program Files\\Optimizer.exe",
                            "--script", "s.txt", "--fast", "--transcript", "--express", "--yes",
                            "--restore", "/tmp/r", "--", "-Velloria", "Optimizer", "--fast"},
                           options, error))
      << error;
  EXPECT_EQ(options.machine, "/tmp/m");
  EXPECT_EQ(options.appPath, "C:\\Program Files\\Optimizer.exe");
  EXPECT_EQ(options.script, "s.txt");
  EXPECT_TRUE(options.fast && options.transcript && options.express && options.yes);
  EXPECT_EQ(options.restore, "/tmp/r");
  EXPECT_EQ(options.arguments, "-Velloria Optimizer --fast");
}

TEST(Options, RejectsUnknownOptionsMissingValuesAndStrayArguments) {
  for (const std::vector<std::string>& args : {std::vector<std::string>{"--fastest"},
                                               {"--machine"},
                                               {"--script="},
                                               {"stray"},
                                               {"--yes=1"}}) {
    Options options;
    std::string error;
    EXPECT_FALSE(ParseOptions(args, options, error)) << args[0];
    EXPECT_NE(error.find(args[0].substr(0, args[0].find('='))), std::string::npos) << error;
  }
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
