// The Win32 shell back end: shortcuts written and read by the shell's own link object, and the
// program menu group that goes away with its last shortcut.
#include <string>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/win32/scratch.h"

namespace vu::win32_tests {
namespace {

using ::testing::UnorderedElementsAre;

class Win32ShellTest : public Win32Test {
 protected:
  void SetUp() override {
    Win32Test::SetUp();
    ASSERT_EQ(shell().SpecialFolderPath(CSIDL_PROGRAMS | CSIDL_FLAG_CREATE, programs_),
              ERROR_SUCCESS);
    group_ = UniqueName("Velloria Test \u2122");
  }
  void TearDown() override {
    for (const std::string& name : ListNames(GroupFolder() + "\\*.*")) {
      files().Remove(GroupFolder() + "\\" + name);
    }
    files().RemoveDirectory(GroupFolder());
    Win32Test::TearDown();
  }
  std::string GroupFolder() const { return programs_ + "\\" + group_; }
  std::string LinkPath(const std::string& name) const {
    return GroupFolder() + "\\" + name + ".lnk";
  }
  // The target the shell reads back from a menu shortcut made to |target|.
  std::string RoundTrip(const std::string& name, const std::string& target) {
    EXPECT_EQ(shell().CreateMenuShortcut(group_, name, target, "-arg"), ERROR_SUCCESS) << target;
    std::string read = "stale";
    EXPECT_EQ(shell().ShortcutTarget(LinkPath(name), read), ERROR_SUCCESS) << target;
    return read;
  }

  std::string programs_;
  std::string group_;
};

TEST_F(Win32ShellTest, ShortcutsReadBackTheirTargets) {
  const std::string local = Path("Optimizer.exe");
  // Wine's link object keeps a local target in the ANSI code page only, so the name stays
  // within Windows-1252 here (the wide calls and the UTF-8 conversion are what is tested).
  const std::string unicode = Path("Caf\u00e9\u2122 \u00c6\u00f8.exe");
  ASSERT_EQ(files().WriteAll(local, "MZ"), ERROR_SUCCESS);
  ASSERT_EQ(files().WriteAll(unicode, "MZ"), ERROR_SUCCESS);
  EXPECT_EQ(RoundTrip("local", local), local);
  EXPECT_EQ(RoundTrip("unicode \u00e9", unicode), unicode);
  // A target that does not exist (the case broken-shortcut removal is about) reads back too.
  EXPECT_EQ(RoundTrip("gone", Path("gone\\Removed.exe")), Path("gone\\Removed.exe"));
}

TEST_F(Win32ShellTest, NetworkTargetsReadBackAsNetworkNames) {
  EXPECT_EQ(RoundTrip("net", "\\\\server\\share\\x.exe"), "\\\\server\\share\\x.exe");
}

TEST_F(Win32ShellTest, WhatIsNotAShortcutHasNoTarget) {
  std::string target = "stale";
  EXPECT_NE(shell().ShortcutTarget(Path("missing.lnk"), target), ERROR_SUCCESS);
  EXPECT_EQ(target, "");
  ASSERT_EQ(files().WriteAll(Path("garbage.lnk"), std::string(200, 'g')), ERROR_SUCCESS);
  target = "stale";
  EXPECT_NE(shell().ShortcutTarget(Path("garbage.lnk"), target), ERROR_SUCCESS);
  EXPECT_EQ(target, "");
  EXPECT_NE(shell().ShortcutTarget("", target), ERROR_SUCCESS);
}

TEST_F(Win32ShellTest, GroupFolderGoesWithItsLastShortcut) {
  const std::string target = Path("Optimizer.exe");
  ASSERT_EQ(shell().CreateMenuShortcut(group_, "Velloria Optimizer", target, ""), ERROR_SUCCESS);
  ASSERT_EQ(shell().CreateMenuShortcut(group_, "Uninstall Velloria Optimizer", target, "-x"),
            ERROR_SUCCESS);
  EXPECT_THAT(ListNames(GroupFolder() + "\\*.*"),
              UnorderedElementsAre("Velloria Optimizer.lnk", "Uninstall Velloria Optimizer.lnk"));

  EXPECT_EQ(shell().RemoveMenuShortcut(group_, "Velloria Optimizer"), ERROR_SUCCESS);
  EXPECT_THAT(ListNames(GroupFolder() + "\\*.*"),
              UnorderedElementsAre("Uninstall Velloria Optimizer.lnk"));
  EXPECT_EQ(shell().RemoveMenuShortcut(group_, "Uninstall Velloria Optimizer"), ERROR_SUCCESS);
  EXPECT_EQ(files().Attributes(GroupFolder()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(Win32ShellTest, RemovingAnAbsentShortcutTouchesNothing) {
  // The group holds something else: it must stay, and so must the other file.
  ASSERT_EQ(files().MakeDirectory(GroupFolder()), ERROR_SUCCESS);
  ASSERT_EQ(files().WriteAll(GroupFolder() + "\\readme.txt", "x"), ERROR_SUCCESS);
  EXPECT_NE(shell().RemoveMenuShortcut(group_, "Velloria Optimizer"), ERROR_SUCCESS);
  EXPECT_THAT(ListNames(GroupFolder() + "\\*.*"), UnorderedElementsAre("readme.txt"));

  // An empty group without the shortcut is not removed either.
  ASSERT_EQ(files().Remove(GroupFolder() + "\\readme.txt"), ERROR_SUCCESS);
  EXPECT_NE(shell().RemoveMenuShortcut(group_, "Velloria Optimizer"), ERROR_SUCCESS);
  EXPECT_NE(files().Attributes(GroupFolder()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(Win32ShellTest, NestedGroupsAreCreatedLevelByLevel) {
  group_ += "\\Tools\\More";
  EXPECT_EQ(RoundTrip("deep", Path("x.exe")), Path("x.exe"));
  EXPECT_EQ(shell().RemoveMenuShortcut(group_, "deep"), ERROR_SUCCESS);
  // Only the innermost folder goes; its parents are left for TearDown.
  EXPECT_EQ(files().Attributes(GroupFolder()), INVALID_FILE_ATTRIBUTES);
  const std::string parent = GroupFolder().substr(0, GroupFolder().rfind('\\'));
  EXPECT_NE(files().Attributes(parent), INVALID_FILE_ATTRIBUTES);
  files().RemoveDirectory(parent);
  files().RemoveDirectory(parent.substr(0, parent.rfind('\\')));
}

}  // namespace
}  // namespace vu::win32_tests
