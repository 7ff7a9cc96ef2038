// The path and text helpers all three programs share. The pure ones run here too so that they
// are also checked in the Windows build; PathExists against both back ends.
#include <string>

#include <gtest/gtest.h>

#include "common/paths.h"
#include "tests/contract/env.h"

namespace vu::contract {
namespace {

using namespace vu::common;

TEST(SharedText, TrimDropsBlanksAndTabsAroundOnly) {
  EXPECT_EQ(Trim(""), "");
  EXPECT_EQ(Trim(" \t "), "");
  EXPECT_EQ(Trim("  Optimizer\t"), "Optimizer");
  EXPECT_EQ(Trim("Uninstall  Optimizer"), "Uninstall  Optimizer");
  EXPECT_EQ(Trim("\tkey = value \t"), "key = value");
  // Other characters are kept unless asked for.
  EXPECT_EQ(Trim(" line\r"), "line\r");
  EXPECT_EQ(Trim(" line\r", " \t\r"), "line");
  EXPECT_EQ(Trim("x"), "x");
}

TEST(SharedPaths, QualifyAndParentAreInverse) {
  EXPECT_EQ(QualifyPath(""), "");
  EXPECT_EQ(QualifyPath("C:"), "C:\\");
  EXPECT_EQ(QualifyPath("D:\\"), "D:\\");
  EXPECT_EQ(QualifyPath("C:\\Program Files"), "C:\\Program Files\\");
  // Only a backslash counts as the separator.
  EXPECT_EQ(QualifyPath("C:/WINDOWS/"), "C:/WINDOWS/\\");
  EXPECT_EQ(GetParentFolder("C:\\Windows\\"), "C:\\Windows");
  EXPECT_EQ(GetParentFolder("x.lnk"), "x.lnk");
  EXPECT_EQ(GetParentFolder(""), "");
  EXPECT_EQ(GetParentFolder("C:\\Caf\u00e9\u2122\\x"), "C:\\Caf\u00e9\u2122");
  for (const char* folder : {"C:\\Program Files\\Velloria Utilities", "C:", "\\\\server\\share"})
    EXPECT_EQ(GetParentFolder(QualifyPath(folder) + "x.exe"), folder);
}

TEST(SharedPaths, DriveRootIsADriveLetterAndColonWithAtMostOneSeparator) {
  for (const char* root : {"C:", "C:\\", "c:/", "Z:\\"})
    EXPECT_TRUE(IsDriveRoot(root)) << root;
  for (const char* other :
       {"", "C", ":\\", "1:\\", "C:\\\\", "C:\\WINDOWS", "C:x", "\\\\server", "\\", "CC:\\"}) {
    EXPECT_FALSE(IsDriveRoot(other)) << other;
  }

  EXPECT_EQ(DriveRoot("C:\\WINDOWS"), "C:\\");
  EXPECT_EQ(DriveRoot("d:"), "d:\\");
  EXPECT_EQ(DriveRoot("E:/Apps"), "E:\\");
  EXPECT_EQ(DriveRoot("\\\\server\\share\\WINDOWS"), "");
  EXPECT_EQ(DriveRoot("WINDOWS"), "");
  EXPECT_EQ(DriveRoot("1:\\"), "");
  EXPECT_TRUE(IsDriveRoot(DriveRoot("C:\\WINDOWS\\SYSTEM")));
}

TEST(SharedPaths, SamePathIgnoresCaseSeparatorsAndDoubling) {
  EXPECT_TRUE(SamePath("C:\\SETUP\\Optimizer.exe", "c:/setup//OPTIMIZER.EXE"));
  EXPECT_TRUE(SamePath("D:\\\\Optimizer.exe", "D:\\Optimizer.exe"));
  EXPECT_TRUE(SamePath("C:\\SETUP\\", "C:\\SETUP"));
  EXPECT_TRUE(SamePath("C:\\Caf\u00e9", "c:\\CAF\u00c9"));  // Windows folds Latin-1 letters too
  EXPECT_FALSE(SamePath("C:\\SETUP\\Optimizer.exe", "C:\\SETUP2\\Optimizer.exe"));
  // A drive's root is not the drive's current folder, nor is a network name a local one.
  EXPECT_FALSE(SamePath("C:\\", "C:"));
  EXPECT_FALSE(SamePath("\\\\server\\share", "\\server\\share"));
}

TEST(SharedText, QuoteIfBlankQuotesOnlyWordsWithBlanks) {
  EXPECT_EQ(QuoteIfBlank("C:\\WINDOWS\\SYSTEM\\x.dll"), "C:\\WINDOWS\\SYSTEM\\x.dll");
  EXPECT_EQ(QuoteIfBlank("C:\\Program Files\\x.exe"), "\"C:\\Program Files\\x.exe\"");
}

class SharedFolderTest : public ContractTest {};

TEST_F(SharedFolderTest, PathExistsForFilesAndFoldersAlike) {
  ASSERT_EQ(files().MakeDirectory(Path("There")), ERROR_SUCCESS);
  ASSERT_EQ(files().WriteAll(Path("There\\x.txt"), "x"), ERROR_SUCCESS);
  EXPECT_TRUE(PathExists(files(), Path("There")));
  EXPECT_TRUE(PathExists(files(), Path("There\\x.txt")));
  EXPECT_FALSE(PathExists(files(), Path("There\\y.txt")));
  EXPECT_FALSE(PathExists(files(), Path("Missing\\x.txt")));
}

}  // namespace
}  // namespace vu::contract
