// The Optimizer's path and folder procedures, and the large-font probe. The pure procedures run
// here too so that they are also checked in the Windows build.
#include <string>

#include <gtest/gtest.h>

#include "common/large_font.h"
#include "optimizer/engine/paths.h"
#include "tests/contract/env.h"
#include "tests/contract/fake_system.h"

namespace vu::contract {
namespace {

using namespace vu::optimizer;

TEST(PathProcedures, QualifyPathAddsOneTrailingBackslash) {
  EXPECT_EQ(QualifyPath(""), "");
  EXPECT_EQ(QualifyPath("C:"), "C:\\");
  EXPECT_EQ(QualifyPath("C:\\"), "C:\\");
  EXPECT_EQ(QualifyPath("C:\\WINDOWS"), "C:\\WINDOWS\\");
  EXPECT_EQ(QualifyPath("C:\\WINDOWS\\"), "C:\\WINDOWS\\");
  // Only a backslash counts as the separator.
  EXPECT_EQ(QualifyPath("C:/WINDOWS/"), "C:/WINDOWS/\\");
}

TEST(PathProcedures, TrimNullCutsAtTheFirstNul) {
  EXPECT_EQ(TrimNull("name.lnk"), "name.lnk");
  EXPECT_EQ(TrimNull(std::string("name.lnk\0\0garbage", 18)), "name.lnk");
  EXPECT_EQ(TrimNull(std::string("\0x", 2)), "");
  EXPECT_EQ(TrimNull(""), "");
}

TEST(PathProcedures, ReverseStringReversesCharacters) {
  EXPECT_EQ(ReverseString(""), "");
  EXPECT_EQ(ReverseString("a"), "a");
  EXPECT_EQ(ReverseString("C:\\x.lnk"), "knl.x\\:C");
  EXPECT_EQ(ReverseString("a\u2122b\u00e9"), "\u00e9b\u2122a");
  EXPECT_EQ(ReverseString(ReverseString("Caf\u00e9\u2122 \xF0\x9F\x98\x80!")),
            "Caf\u00e9\u2122 \xF0\x9F\x98\x80!");
}

TEST(PathProcedures, GetParentFolderDropsTheLastPart) {
  EXPECT_EQ(GetParentFolder("C:\\Windows\\Desktop\\x.lnk"), "C:\\Windows\\Desktop");
  EXPECT_EQ(GetParentFolder("C:\\x.lnk"), "C:");
  EXPECT_EQ(GetParentFolder("C:\\Windows\\"), "C:\\Windows");
  EXPECT_EQ(GetParentFolder("x.lnk"), "x.lnk");
  EXPECT_EQ(GetParentFolder(""), "");
  EXPECT_EQ(GetParentFolder("C:\\Caf\u00e9\u2122\\x"), "C:\\Caf\u00e9\u2122");
}

TEST(PathProcedures, GetSystemDirKeepsWhatFitsIn255Characters) {
  FakeSystem system;
  EXPECT_EQ(GetSystemDir(system), "C:\\WINDOWS\\SYSTEM");
  system.systemDirectory = "C:\\" + std::string(251, 'x');  // 254 characters: fits with its NUL
  EXPECT_EQ(GetSystemDir(system), system.systemDirectory);
  system.systemDirectory += "x";
  EXPECT_EQ(GetSystemDir(system), "");
  // Counted in characters, not in bytes of UTF-8.
  system.systemDirectory = "C:\\";
  for (int i = 0; i < 200; ++i)
    system.systemDirectory += "\u00e9";
  EXPECT_EQ(GetSystemDir(system), system.systemDirectory);
  system.systemDirectory = "";
  EXPECT_EQ(GetSystemDir(system), "");
}

TEST(LargeFontProbe, OnlyExactly120PixelsPerInchIsLarge) {
  FakeSystem system;
  for (int dpi : {0, 96, 119, 121, 144}) {
    system.logPixelsX = dpi;
    EXPECT_EQ(vu::common::IsLargeFontScreen(system), vu::common::kFalse) << dpi;
  }
  system.logPixelsX = 120;
  EXPECT_EQ(vu::common::IsLargeFontScreen(system), vu::common::kTrue);
}

class FolderProceduresTest : public ContractTest {};

TEST_F(FolderProceduresTest, IsFolderEmptyLooksPastDotNames) {
  ASSERT_EQ(files().MakeDirectory(Path("Empty")), ERROR_SUCCESS);
  EXPECT_EQ(IsFolderEmpty(files(), Path("Empty")), vu::common::kTrue);
  EXPECT_EQ(IsFolderEmpty(files(), Path("Empty\\")), vu::common::kTrue);

  ASSERT_EQ(files().MakeDirectory(Path("OneFile")), ERROR_SUCCESS);
  ASSERT_EQ(files().WriteAll(Path("OneFile\\x.lnk"), "x"), ERROR_SUCCESS);
  EXPECT_EQ(IsFolderEmpty(files(), Path("OneFile")), vu::common::kFalse);

  ASSERT_EQ(files().MakeDirectory(Path("OneFolder")), ERROR_SUCCESS);
  ASSERT_EQ(files().MakeDirectory(Path("OneFolder\\Sub")), ERROR_SUCCESS);
  EXPECT_EQ(IsFolderEmpty(files(), Path("OneFolder")), vu::common::kFalse);

  // A name beginning with "." is passed over like "." and "..".
  ASSERT_EQ(files().MakeDirectory(Path("DotOnly")), ERROR_SUCCESS);
  ASSERT_EQ(files().WriteAll(Path("DotOnly\\.profile"), "x"), ERROR_SUCCESS);
  EXPECT_EQ(IsFolderEmpty(files(), Path("DotOnly")), vu::common::kTrue);

  EXPECT_EQ(IsFolderEmpty(files(), Path("Missing")), vu::common::kFalse);
}

TEST_F(FolderProceduresTest, SystemDirIsADrivePath) {
  const std::string dir = GetSystemDir(system());
  ASSERT_GE(dir.size(), 3u);
  EXPECT_EQ(dir.substr(1, 2), ":\\");
  const std::uint32_t attributes = files().Attributes(dir);
  ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES);
  EXPECT_NE(attributes & FILE_ATTRIBUTE_DIRECTORY, 0u);
}

}  // namespace
}  // namespace vu::contract
