// The drive scan on a sandbox machine: how many folder entries it yields on, that links and
// deep trees cannot keep it going, that it ends with the bar, and which line it shows.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "engine_world.h"
#include "optimizer/engine/scan.h"

namespace vu::optimizer::testing {
namespace {

class ScanTest : public ::testing::Test {
 protected:
  vu::platform::FileSystem& Files() { return world.temp.machine().files(); }

  void Folder(const std::string& path) { ASSERT_EQ(Files().MakeDirectory(path), ERROR_SUCCESS); }
  void File(const std::string& path, const std::string& content) {
    ASSERT_EQ(Files().WriteAll(path, content), ERROR_SUCCESS);
  }
  // The scan yields once per folder entry, so the yields count the folder entries it met.
  int Scan(const std::string& folder) {
    const int before = world.progress.yields;
    ScanDriveForShow(engine, folder);
    return world.progress.yields - before;
  }
  // Scans |folder| with every draw of the dice a read (one time in three otherwise); returns the
  // line shown.
  std::string ScanForLine(const std::string& folder) {
    world.progress.randoms = {0.7f};
    ScanDriveForShow(engine, folder);
    return world.progress.Last("line ");
  }

  EngineWorld world;
  Engine& engine = world.engine;
};

TEST_F(ScanTest, VisitsEveryFolderEntryOnce) {
  Folder("C:\\TREE");
  Folder("C:\\TREE\\A");
  Folder("C:\\TREE\\A\\A1");
  Folder("C:\\TREE\\B");
  File("C:\\TREE\\A\\note.txt", "x");
  // TREE: . .. A B; A: . .. A1; A1: . ..; B: . ..
  EXPECT_EQ(Scan("C:\\TREE"), 11);
  EXPECT_EQ(Scan("C:\\TREE\\"), 11);
  EXPECT_EQ(Scan("C:\\MISSING"), 0);
}

TEST_F(ScanTest, ReturnsAtOnceWhenTheBarIsFull) {
  world.progress.fullAfterYields = 0;
  EXPECT_EQ(Scan("C:\\"), 0);
}

TEST_F(ScanTest, DoesNotFollowLinksIntoALoop) {
  Folder("C:\\TREE");
  Folder("C:\\TREE\\A");
  const std::filesystem::path host = world.temp.machine().HostPath("C:\\TREE");
  std::filesystem::create_directory_symlink(host, host / "LOOP");
  ASSERT_NE(Files().Attributes("C:\\TREE\\LOOP") & FILE_ATTRIBUTE_REPARSE_POINT, 0u);
  // TREE: . .. A LOOP; A: . ..  (the link is met, not entered)
  EXPECT_EQ(Scan("C:\\TREE"), 6);
}

TEST_F(ScanTest, StopsDescendingPastTheDepthLimit) {
  Folder("C:\\D");
  std::filesystem::path deep = world.temp.machine().HostPath("C:\\D");
  for (int depth = 1; depth <= kScanDepthLimit + 2; ++depth)
    deep /= "D";
  std::filesystem::create_directories(deep);
  // Each level entered yields on ".", ".." and its one subfolder.
  EXPECT_EQ(Scan("C:\\D"), 3 * (kScanDepthLimit + 1));
}

TEST_F(ScanTest, EndsWhenTheBarIsFull) {
  // About 700 folder entries, more than the bar's 544 ms allow.
  Folder("C:\\MANY");
  for (int i = 0; i < 20; ++i) {
    const std::string folder = "C:\\MANY\\" + std::to_string(i);
    Folder(folder);
    for (int j = 0; j < 10; ++j)
      Folder(folder + "\\" + std::to_string(j));
  }
  world.progress.fullAfterYields = 544;
  EXPECT_EQ(Scan("C:\\MANY"), 544);
}

TEST_F(ScanTest, ReadsTheFirstLineOfTheFirstPlainLongFile) {
  Folder("C:\\T");
  Folder("C:\\T\\A-FOLDER");
  File("C:\\T\\B.SYS", "system line\r\n" + std::string(2000, 's'));
  ASSERT_EQ(Files().SetAttributes("C:\\T\\B.SYS", FILE_ATTRIBUTE_SYSTEM), ERROR_SUCCESS);
  File("C:\\T\\C.TXT", "first line\r\n" + std::string(2000, 'c'));
  File("C:\\T\\D.TXT", "later line\r\n" + std::string(2000, 'd'));
  EXPECT_EQ(ScanForLine("C:\\T"), "first line");
}

TEST_F(ScanTest, ReadsOnlyWhenTheDrawIsTwo) {
  Folder("C:\\T");
  File("C:\\T\\C.TXT", "first line\r\n" + std::string(2000, 'c'));
  world.progress.randoms = {0.66f};
  ScanDriveForShow(engine, "C:\\T");
  EXPECT_EQ(world.progress.Count("line "), 0);
  EXPECT_EQ(ScanForLine("C:\\T"), "first line");
}

TEST_F(ScanTest, LeavesFilesOfAThousandBytesUnread) {
  Folder("C:\\T");
  File("C:\\T\\C.TXT", "short line\r\n" + std::string(988, 'c'));
  EXPECT_EQ(ScanForLine("C:\\T"), "");
  // Only the first plain file counts, even when a later one is long enough.
  File("C:\\T\\D.TXT", "later line\r\n" + std::string(2000, 'd'));
  EXPECT_EQ(ScanForLine("C:\\T"), "");
}

}  // namespace
}  // namespace vu::optimizer::testing
