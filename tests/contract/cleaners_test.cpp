// The cleaners' reading of the machine on both back ends: a shortcut's target as the shell reports
// it, and what the attribute call's status says about a path (gone, or merely unreadable).
#include <string>

#include <gtest/gtest.h>

#include "optimizer/engine/missing_file.h"
#include "optimizer/engine/paths.h"
#include "optimizer/engine/shortcuts.h"
#include "platform/text.h"
#include "tests/contract/env.h"

namespace vu::contract {
namespace {

using vu::optimizer::PathState;

class CleanersTest : public ContractTest {};

TEST_F(CleanersTest, GetShortcutTargetReadsAShortcutTheShellMade) {
  const std::string target = Path("Program.exe");
  ASSERT_EQ(files().WriteAll(target, "MZ"), ERROR_SUCCESS);
  const std::string group = "VU Cleaners " + folder().substr(folder().rfind('\\') + 1);
  ASSERT_EQ(machine().shell().CreateMenuShortcut(group, "Program", target, "-x"), ERROR_SUCCESS);
  std::string programs;
  ASSERT_EQ(machine().shell().SpecialFolderPath(CSIDL_PROGRAMS, programs), ERROR_SUCCESS);
  const std::string link = programs + "\\" + group + "\\Program.lnk";

  EXPECT_EQ(vu::optimizer::GetShortcutTarget(machine().shell(), link), target);
  // The target going away does not change what the shortcut says.
  ASSERT_EQ(files().Remove(target), ERROR_SUCCESS);
  EXPECT_EQ(vu::optimizer::GetShortcutTarget(machine().shell(), link), target);
  EXPECT_EQ(vu::optimizer::GetShortcutTarget(machine().shell(), Path("none.lnk")), "");

  EXPECT_EQ(machine().shell().RemoveMenuShortcut(group, "Program"), ERROR_SUCCESS);
}

TEST_F(CleanersTest, OnlyNotFoundCountsAsMissing) {
  vu::platform::FileSystem& fs = files();
  ASSERT_EQ(fs.WriteAll(Path("here.dll"), "x"), ERROR_SUCCESS);
  EXPECT_EQ(vu::optimizer::ProbePath(fs, Path("here.dll")), PathState::Exists);
  EXPECT_EQ(vu::optimizer::ProbePath(fs, folder()), PathState::Exists);
  EXPECT_EQ(vu::optimizer::ProbePath(fs, Path("gone.dll")), PathState::Missing);
  EXPECT_EQ(vu::optimizer::ProbePath(fs, Path("gone\\x.dll")), PathState::Missing);
  // Names the file system refuses say nothing about any file.
  EXPECT_EQ(vu::optimizer::ProbePath(fs, Path("*.log")), PathState::Invalid);
  EXPECT_EQ(vu::optimizer::ProbePath(fs, Path("a|b")), PathState::Invalid);
  EXPECT_EQ(vu::optimizer::ProbePath(fs, ""), PathState::Invalid);
}

TEST_F(CleanersTest, IsMissingFileOnTheSystemDrive) {
  const std::string systemDir = vu::optimizer::GetSystemDir(system());
  if (vu::platform::UpperCase(systemDir.substr(0, 1)) !=
      vu::platform::UpperCase(folder().substr(0, 1))) {
    GTEST_SKIP() << "the scratch folder is not on the system drive";
  }
  ASSERT_EQ(files().WriteAll(Path("here.dll"), "x"), ERROR_SUCCESS);
  EXPECT_EQ(vu::optimizer::IsMissingFile(machine(), Path("gone.dll,1")), common::kTrue);
  EXPECT_EQ(vu::optimizer::IsMissingFile(machine(), Path("here.dll,1")), common::kFalse);
  EXPECT_EQ(vu::optimizer::IsMissingFile(machine(), Path("here.dll /s")), common::kFalse);
  EXPECT_EQ(vu::optimizer::IsMissingFile(machine(), Path("*.dll")), common::kFalse);
  // A cut inside a path that carries on is no reading of it.
  ASSERT_EQ(files().MakeDirectory(Path("App")), ERROR_SUCCESS);
  EXPECT_EQ(vu::optimizer::IsMissingFile(machine(), Path("App Old\\x.exe")), common::kTrue);
  EXPECT_EQ(vu::optimizer::IsMissingFile(machine(), Path("App,Old\\x.exe")), common::kTrue);
  EXPECT_EQ(vu::optimizer::IsMissingFile(machine(), Path("App;") + folder()), common::kFalse);
}

}  // namespace
}  // namespace vu::contract
