// The Optimizer's own path and folder procedures. The pure procedures run here too so that they
// are also checked in the Windows build.
#include <string>

#include <gtest/gtest.h>

#include "optimizer/engine/paths.h"
#include "tests/contract/env.h"
#include "tests/contract/fake_system.h"

namespace vu::contract {
namespace {

using namespace vu::optimizer;

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

}  // namespace
}  // namespace vu::contract
