// The Win32 system back end: the program's own folder and command line, and the pure parts
// behind them and behind long paths.
#include <string>

#include <gtest/gtest.h>

#include "platform/win32/command_line.h"
#include "platform/win32/paths.h"
#include "tests/win32/scratch.h"

namespace vu::win32_tests {
namespace {

using platform::win32::ArgumentsAfterProgramName;
using platform::win32::FolderOf;
using platform::win32::PrepareFilePath;

TEST(CommandLineTest, SkipsTheProgramNameAndTheBlanksAfterIt) {
  EXPECT_EQ(ArgumentsAfterProgramName("C:\\WINDOWS\\VLUN32.EXE -Velloria Optimizer 1.0"),
            "-Velloria Optimizer 1.0");
  EXPECT_EQ(ArgumentsAfterProgramName("\"C:\\Program Files\\V\\x.exe\" -Long  Name "),
            "-Long  Name ");
  EXPECT_EQ(ArgumentsAfterProgramName("\"C:\\Program Files\\V\\x.exe\"-glued"), "-glued");
  EXPECT_EQ(ArgumentsAfterProgramName("x.exe \t  \"quoted arg\" tail"), "\"quoted arg\" tail");
  // Quotes inside a bare name do not protect its blanks.
  EXPECT_EQ(ArgumentsAfterProgramName("C:\\\"Program Files\"\\x.exe arg"), "Files\"\\x.exe arg");
}

TEST(CommandLineTest, NoArgumentGivesEmptyText) {
  EXPECT_EQ(ArgumentsAfterProgramName("C:\\WINDOWS\\VLUN32.EXE"), "");
  EXPECT_EQ(ArgumentsAfterProgramName("\"C:\\Program Files\\x.exe\""), "");
  EXPECT_EQ(ArgumentsAfterProgramName("\"C:\\Program Files\\x.exe\"   "), "");
  EXPECT_EQ(ArgumentsAfterProgramName("\"unterminated name"), "");
  EXPECT_EQ(ArgumentsAfterProgramName(""), "");
}

TEST(PathsTest, ShortPathsOnlyTurnTheirSlashes) {
  EXPECT_EQ(PrepareFilePath("C:/WINDOWS/./system.ini"), "C:\\WINDOWS\\.\\system.ini");
  EXPECT_EQ(PrepareFilePath("D:\\\\Optimizer.exe"), "D:\\\\Optimizer.exe");
  EXPECT_EQ(PrepareFilePath("relative/x"), "relative\\x");
}

TEST(PathsTest, LongPathsGetTheExtendedFormNormalised) {
  const std::string a(150, 'a');
  const std::string b(150, 'b');
  EXPECT_EQ(PrepareFilePath("C:/" + a + "//./" + b + "/../" + b + "\\x.txt"),
            "\\\\?\\C:\\" + a + "\\" + b + "\\x.txt");
  EXPECT_EQ(PrepareFilePath("c:\\" + a + "\\..\\..\\" + b + "\\"), "\\\\?\\c:\\" + b + "\\");
  EXPECT_EQ(PrepareFilePath("\\\\server\\share\\" + a + "\\..\\" + b + "/" + a),
            "\\\\?\\UNC\\server\\share\\" + b + "\\" + a);
  const std::string extended = "\\\\?\\C:\\" + a + "\\.\\" + b;
  EXPECT_EQ(PrepareFilePath(extended), extended);
  // Just below the limit a path is left as written.
  const std::string below = "C:\\" + std::string(platform::win32::kLongPathThreshold - 4, 'c');
  EXPECT_EQ(PrepareFilePath(below), below);
  EXPECT_EQ(PrepareFilePath(below + "d").substr(0, 4), "\\\\?\\");
}

TEST(PathsTest, FolderOfKeepsTheBackslashOfADriveRoot) {
  EXPECT_EQ(FolderOf("C:\\Program Files\\Velloria\\Optimizer.exe"), "C:\\Program Files\\Velloria");
  EXPECT_EQ(FolderOf("C:\\Optimizer.exe"), "C:\\");
  EXPECT_EQ(FolderOf("C:/dir/x.exe"), "C:\\dir");
  EXPECT_EQ(FolderOf("x.exe"), "");
}

using Win32SystemTest = Win32Test;

TEST_F(Win32SystemTest, ProgramFolderHoldsTheRunningProgram) {
  const std::string folder = system().ProgramFolder();
  ASSERT_FALSE(folder.empty());
  EXPECT_NE(folder.back(), '\\');
  EXPECT_NE(files().Attributes(folder + "\\win32_tests.exe"), INVALID_FILE_ATTRIBUTES) << folder;
}

TEST_F(Win32SystemTest, FoldersAndFactsAreReadable) {
  const std::string windows = system().WindowsDirectory();
  const std::string systemDir = system().SystemDirectory();
  ASSERT_GE(windows.size(), 3u);
  EXPECT_EQ(windows.substr(1, 2), ":\\");
  EXPECT_EQ(systemDir.substr(0, windows.size()), windows);
  EXPECT_NE(files().Attributes(systemDir) & FILE_ATTRIBUTE_DIRECTORY, 0u);
  std::uint32_t serial = 0;
  EXPECT_TRUE(system().VolumeSerial(windows.substr(0, 3), serial));
  platform::MemoryStatus memory;
  ASSERT_TRUE(system().Memory(memory));
  EXPECT_GT(memory.totalPhys, 0u);
  EXPECT_LE(memory.availPhys, memory.totalPhys);
  platform::OsVersion version;
  ASSERT_TRUE(system().Version(version));
  EXPECT_GE(version.major, 4u);
  std::string user;
  EXPECT_TRUE(system().UserName(user));
  EXPECT_FALSE(user.empty());
}

}  // namespace
}  // namespace vu::win32_tests
