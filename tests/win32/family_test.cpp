// The Windows family the back end chooses, its text conversions and command-line splitting, and
// what a 32-bit program on 64-bit Windows sees of System32 and the registry.
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/win32/command_line.h"
#include "platform/win32/family.h"
#include "tests/win32/scratch.h"

namespace vu::win32_tests {
namespace {

using platform::win32::Ansi;
using platform::win32::FromAnsi;
using platform::win32::SplitCommandLine;
using platform::win32::UnderWow64;
using platform::win32::WideCalls;
using Args = std::vector<std::string>;

// The seam takes the predefined keys as their 32-bit numbers.
constexpr platform::RootKey kLocalMachine = 0x80000002u;

TEST(FamilyTest, FollowsThePlatformIdTheSystemReports) {
  OSVERSIONINFOA info{};
  info.dwOSVersionInfoSize = sizeof info;
  ASSERT_TRUE(::GetVersionExA(&info));
  EXPECT_EQ(WideCalls(), info.dwPlatformId == VER_PLATFORM_WIN32_NT);
  if (!WideCalls()) {
    EXPECT_FALSE(UnderWow64());
  }
}

TEST(FamilyTest, AnsiTextKeepsWhatTheCodePageHoldsAndMarksTheRest) {
  EXPECT_EQ(Ansi("C:\\Program Files\\x.exe"), "C:\\Program Files\\x.exe");
  EXPECT_EQ(FromAnsi("C:\\WINDOWS"), "C:\\WINDOWS");
  EXPECT_EQ(Ansi(""), "");
  // Three characters no single-byte Western or Cyrillic code page holds: each a '?' of its own.
  const std::string cjk = Ansi("a\xE6\xBC\xA2\xE5\xAD\x97\xE3\x81\x82z");
  if (::GetACP() == 1252) {
    EXPECT_EQ(cjk, "a???z");
    EXPECT_EQ(Ansi("caf\xC3\xA9"), "caf\xE9");
    EXPECT_EQ(FromAnsi("caf\xE9"), "caf\xC3\xA9");
  }
  // Embedded NULs (REG_MULTI_SZ) pass through both ways.
  EXPECT_EQ(Ansi(std::string("a\0b\0", 4)), std::string("a\0b\0", 4));
  EXPECT_EQ(FromAnsi(std::string("a\0b\0", 4)), std::string("a\0b\0", 4));
}

TEST(SplitCommandLineTest, SplitsAsTheRunTimeDoes) {
  EXPECT_EQ(SplitCommandLine("\"C:\\SETUP\\Install.exe\" --express"),
            (Args{"C:\\SETUP\\Install.exe", "--express"}));
  EXPECT_EQ(SplitCommandLine("C:\\WINDOWS\\VLUN32.exe --yes -Velloria Optimizer"),
            (Args{"C:\\WINDOWS\\VLUN32.exe", "--yes", "-Velloria", "Optimizer"}));
  EXPECT_EQ(SplitCommandLine("x.exe --restore \"Z:\\a b\\c\\\\\" next"),
            (Args{"x.exe", "--restore", "Z:\\a b\\c\\", "next"}));
  EXPECT_EQ(SplitCommandLine("x.exe a\\\\b \\\"q\\\" \"in \"\"side\""),
            (Args{"x.exe", "a\\\\b", "\"q\"", "in \"side"}));
  EXPECT_EQ(SplitCommandLine("x.exe \"\" \t tail  "), (Args{"x.exe", "", "tail"}));
}

TEST(SplitCommandLineTest, TheProgramNameKeepsItsBackslashesAndEndsAtItsQuote) {
  EXPECT_EQ(SplitCommandLine("\"C:\\Program Files\\x.exe\"-glued b"),
            (Args{"C:\\Program Files\\x.exe", "-glued", "b"}));
  EXPECT_EQ(SplitCommandLine("C:\\dir\\\\x.exe"), (Args{"C:\\dir\\\\x.exe"}));
  EXPECT_EQ(SplitCommandLine("\"unterminated name"), (Args{"unterminated name"}));
  EXPECT_EQ(SplitCommandLine(""), (Args{""}));
}

class Wow64Test : public Win32Test {
 protected:
  void SetUp() override {
    Win32Test::SetUp();  // first: TearDown runs after a skip too
    if (!UnderWow64()) GTEST_SKIP() << "not a 32-bit program on 64-bit Windows";
  }
};

TEST_F(Wow64Test, FilesAreJudgedInTheRealSystem32) {
  const std::string path = system().SystemDirectory() + "\\" + UniqueName("only64") + ".dll";
  ASSERT_EQ(files().WriteAll(path, "MZ"), ERROR_SUCCESS);
  // Where a plain 32-bit call looks (SysWOW64), the file is not; the back end sees it.
  EXPECT_EQ(::GetFileAttributesA(path.c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_NE(files().Attributes(path, nullptr), INVALID_FILE_ATTRIBUTES);
  std::uint64_t length = 0;
  EXPECT_EQ(files().Length(path, length), ERROR_SUCCESS);
  EXPECT_EQ(length, 2u);
  EXPECT_EQ(files().Remove(path), ERROR_SUCCESS);
  EXPECT_EQ(files().Attributes(path, nullptr), INVALID_FILE_ATTRIBUTES);
}

TEST_F(Wow64Test, KeysAreReadAndChangedInThe64BitView) {
  const std::string name = UniqueName("VuView");
  const std::string path = "Software\\" + name;
  std::unique_ptr<platform::RegistryKey> key;
  ASSERT_EQ(registry().CreateKey(kLocalMachine, path, key), ERROR_SUCCESS);
  ASSERT_EQ(key->SetValue("Path", REG_SZ, "C:\\x.exe"), ERROR_SUCCESS);
  key.reset();
  auto opens = [&](REGSAM view) {
    HKEY raw = nullptr;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ | view, &raw) != 0) {
      return false;
    }
    ::RegCloseKey(raw);
    return true;
  };
  EXPECT_TRUE(opens(KEY_WOW64_64KEY));
  EXPECT_FALSE(opens(KEY_WOW64_32KEY));
  // The 32-bit view's own lists are reachable by their real path.
  EXPECT_EQ(registry().OpenKey(kLocalMachine, "Software\\Wow6432Node", key), ERROR_SUCCESS);
  ASSERT_EQ(registry().OpenKey(kLocalMachine, "Software", key), ERROR_SUCCESS);
  EXPECT_EQ(key->DeleteSubKey(name), ERROR_SUCCESS);
  EXPECT_FALSE(opens(KEY_WOW64_64KEY));
}

}  // namespace
}  // namespace vu::win32_tests
