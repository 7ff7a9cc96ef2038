// The Win32 file back end: non-ASCII names, paths beyond MAX_PATH, and why an attribute read
// failed.
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/win32/scratch.h"

namespace vu::win32_tests {
namespace {

using ::testing::UnorderedElementsAre;

using Win32FilesTest = Win32Test;

TEST_F(Win32FilesTest, NonAsciiFileNamesRoundTrip) {
  const std::string name = "Caf\u00e9\u2122 \u8a2d\u5b9a.txt";
  const std::string sub = "\u00e9t\u00e9";
  ASSERT_EQ(files().MakeDirectory(Path(sub)), ERROR_SUCCESS);
  ASSERT_EQ(files().WriteAll(Path(sub + "\\" + name), "first\r\nsecond"), ERROR_SUCCESS);

  EXPECT_THAT(ListNames(Path("*.*")), UnorderedElementsAre(sub));
  EXPECT_THAT(ListNames(Path(sub + "\\*.txt")), UnorderedElementsAre(name));
  std::string line;
  ASSERT_EQ(files().ReadFirstLine(Path(sub + "/" + name), line), ERROR_SUCCESS);
  EXPECT_EQ(line, "first");
  EXPECT_EQ(files().Copy(Path(sub + "\\" + name), Path(name), true), ERROR_SUCCESS);
  EXPECT_EQ(files().Remove(Path(sub + "\\" + name)), ERROR_SUCCESS);
  EXPECT_EQ(files().RemoveDirectory(Path(sub)), ERROR_SUCCESS);
  EXPECT_THAT(ListNames(Path("*.*")), UnorderedElementsAre(name));
}

TEST_F(Win32FilesTest, TreesDeeperThanMaxPathWork) {
  // Eight levels of 40 characters: the deepest file lies well past 300 characters.
  std::vector<std::string> levels;
  std::string path = folder();
  for (int i = 0; i < 8; ++i) {
    path += "\\" + std::string(38, static_cast<char>('a' + i)) + "\u00e9";
    levels.push_back(path);
    ASSERT_EQ(files().MakeDirectory(path), ERROR_SUCCESS) << path.size();
  }
  const std::string file = path + "\\leaf.txt";
  ASSERT_GT(file.size(), 300u);
  ASSERT_EQ(files().WriteAll(file, "deep"), ERROR_SUCCESS);

  EXPECT_THAT(ListNames(path + "\\*.*"), UnorderedElementsAre("leaf.txt"));
  EXPECT_EQ(files().Attributes(path) & FILE_ATTRIBUTE_DIRECTORY,
            static_cast<std::uint32_t>(FILE_ATTRIBUTE_DIRECTORY));
  std::uint64_t length = 0;
  EXPECT_EQ(files().Length(file, length), ERROR_SUCCESS);
  EXPECT_EQ(length, 4u);
  std::string bytes;
  // '/' separators and a "." and ".." detour must reach the same file.
  std::string detour = path + "/./../" + path.substr(path.rfind('\\') + 1) + "/leaf.txt";
  EXPECT_EQ(files().ReadAll(detour, bytes), ERROR_SUCCESS);
  EXPECT_EQ(bytes, "deep");
  EXPECT_EQ(files().Copy(file, path + "\\copy.txt", false), ERROR_SUCCESS);
  EXPECT_EQ(files().SetAttributes(file, FILE_ATTRIBUTE_HIDDEN), ERROR_SUCCESS);
  EXPECT_EQ(files().Attributes(file) & FILE_ATTRIBUTE_HIDDEN,
            static_cast<std::uint32_t>(FILE_ATTRIBUTE_HIDDEN));

  EXPECT_EQ(files().RemoveDirectory(path), ERROR_DIR_NOT_EMPTY);
  EXPECT_EQ(files().Remove(file), ERROR_SUCCESS);
  EXPECT_EQ(files().Remove(path + "\\copy.txt"), ERROR_SUCCESS);
  for (auto it = levels.rbegin(); it != levels.rend(); ++it) {
    EXPECT_EQ(files().RemoveDirectory(*it), ERROR_SUCCESS) << it->size();
  }
  EXPECT_TRUE(ListNames(Path("*.*")).empty());
}

TEST_F(Win32FilesTest, WriteAllReplacesHiddenFilesAndRefusesReadOnlyOnes) {
  const std::string file = Path("MSDOS.SYS");
  ASSERT_EQ(files().WriteAll(file, "old content that is longer"), ERROR_SUCCESS);
  ASSERT_EQ(files().SetAttributes(file, FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM),
            ERROR_SUCCESS);
  EXPECT_EQ(files().WriteAll(file, "new"), ERROR_SUCCESS);
  std::string bytes;
  EXPECT_EQ(files().ReadAll(file, bytes), ERROR_SUCCESS);
  EXPECT_EQ(bytes, "new");

  ASSERT_EQ(files().SetAttributes(file, FILE_ATTRIBUTE_READONLY), ERROR_SUCCESS);
  EXPECT_EQ(files().WriteAll(file, "refused"), ERROR_ACCESS_DENIED);
  EXPECT_EQ(files().Remove(file), ERROR_ACCESS_DENIED);
  EXPECT_EQ(files().SetAttributes(file, 0), ERROR_SUCCESS);
  EXPECT_EQ(files().Remove(file), ERROR_SUCCESS);
}

TEST_F(Win32FilesTest, FirstLineStopsAtEitherLineEndAndReadsAtMost64KiB) {
  std::string line;
  ASSERT_EQ(files().WriteAll(Path("lf.txt"), "one\ntwo"), ERROR_SUCCESS);
  EXPECT_EQ(files().ReadFirstLine(Path("lf.txt"), line), ERROR_SUCCESS);
  EXPECT_EQ(line, "one");
  ASSERT_EQ(files().WriteAll(Path("long.txt"), std::string(70000, 'x') + "\r\n"), ERROR_SUCCESS);
  EXPECT_EQ(files().ReadFirstLine(Path("long.txt"), line), ERROR_SUCCESS);
  EXPECT_EQ(line.size(), 65536u);
  EXPECT_EQ(files().ReadFirstLine(Path("none.txt"), line), ERROR_FILE_NOT_FOUND);
}

TEST_F(Win32FilesTest, ProfileEntriesTellMissingFromEmpty) {
  const std::string ini = Path("system.ini");
  std::string value = "untouched";
  EXPECT_EQ(files().ReadProfileString(ini, "vcache", "MinFileCache", value), ERROR_FILE_NOT_FOUND);
  ASSERT_EQ(files().WriteAll(ini, "[boot]\r\nshell=Explorer.exe\r\n[vcache]\r\nEmpty=\r\n"),
            ERROR_SUCCESS);
  EXPECT_EQ(files().ReadProfileString(ini, "vcache", "Empty", value), ERROR_SUCCESS);
  EXPECT_EQ(value, "");
  EXPECT_EQ(files().ReadProfileString(ini, "vcache", "MaxFileCache", value), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(files().ReadProfileString(ini, "nosection", "Empty", value), ERROR_FILE_NOT_FOUND);

  ASSERT_EQ(files().WriteProfileString(ini, "vcache", "MaxFileCache", "16384"), ERROR_SUCCESS);
  EXPECT_EQ(files().ReadProfileString(ini, "vcache", "MaxFileCache", value), ERROR_SUCCESS);
  EXPECT_EQ(value, "16384");
  EXPECT_EQ(files().ReadProfileString(ini, "boot", "shell", value), ERROR_SUCCESS);
  EXPECT_EQ(value, "Explorer.exe");
}

}  // namespace
}  // namespace vu::win32_tests
