// The installation log: what an installation records for the uninstaller, and the installer's
// own care with what it did not place.
#include <algorithm>

#include <gtest/gtest.h>

#include "common/install_log.h"
#include "harness.h"
#include "installer/launch.h"

namespace vu::installer {
namespace {

using common::LoggedKind;
using testing::InstallWorld;

constexpr const char* kDir = "C:\\Program Files\\Velloria Utilities\\Optimizer";
constexpr const char* kGroup = "C:\\WINDOWS\\START MENU\\PROGRAMS\\Velloria Utilities";

const common::LogEntry* Find(const common::InstallLog& log, const std::string& path) {
  const auto it = std::find_if(log.begin(), log.end(),
                               [&](const common::LogEntry& e) { return e.path == path; });
  return it == log.end() ? nullptr : &*it;
}

TEST(InstallLog, ExpressLogsWhatItPlacedAndCreatedAndNothingElse) {
  InstallWorld world;
  world.LaySet();
  ASSERT_EQ(world.Play(kExpressScript), 0) << world.errors.str();
  const std::optional<common::InstallLog> log =
      common::ReadInstallLog(world.temp.machine().registry(), testing::kRecordKey);
  ASSERT_TRUE(log);

  // Folders it made, in the order it made them; Program Files was there already.
  const common::LogEntry* products = Find(*log, "C:\\Program Files\\Velloria Utilities");
  const common::LogEntry* folder = Find(*log, kDir);
  ASSERT_TRUE(products && folder);
  EXPECT_EQ(products->kind, LoggedKind::Folder);
  EXPECT_LT(products, folder);
  EXPECT_EQ(Find(*log, "C:\\Program Files"), nullptr);
  ASSERT_TRUE(Find(*log, kGroup));
  EXPECT_EQ(Find(*log, kGroup)->kind, LoggedKind::Folder);

  // Each placed file with its size and the hash of what was placed.
  for (const char* name : {"\\Optimizer.exe", "\\Optimizer.hlp", "\\Optimizer.cnt"}) {
    const common::LogEntry* file = Find(*log, kDir + std::string(name));
    ASSERT_TRUE(file) << name;
    const std::string content = std::string("contents of ") + (name + 1);
    EXPECT_EQ(file->kind, LoggedKind::File);
    EXPECT_EQ(file->size, content.size());
    EXPECT_EQ(file->hash, common::ContentHash(content));
  }
  const common::LogEntry* link = Find(*log, std::string(kGroup) + "\\Optimizer.lnk");
  ASSERT_TRUE(link);
  EXPECT_TRUE(common::IsAsLogged(world.temp.machine().files(), *link));

  // Run-time files as shared ones; the Windows folder's uninstaller not at all.
  const common::LogEntry* runtime = Find(*log, "C:\\WINDOWS\\SYSTEM\\MSVBVM50.DLL");
  ASSERT_TRUE(runtime);
  EXPECT_EQ(runtime->kind, LoggedKind::SharedFile);
  EXPECT_EQ(Find(*log, "C:\\WINDOWS\\VLUN32.exe"), nullptr);
}

TEST(InstallLog, AFileNotPlacedKeepsItsSourceAndGetsNoShortcut) {
  // An earlier, read-only copy cannot be replaced: of other content but the same size, or the
  // very same content (an earlier installation of this set, still running). Either way the
  // installation could not place it and the source must stay for another try.
  for (const char* earlier : {"contents of Optimizer.exX", "contents of Optimizer.exe"}) {
    SCOPED_TRACE(earlier);
    InstallWorld world;
    world.LaySet();
    const std::string target = std::string(kDir) + "\\Optimizer.exe";
    world.temp.Write(target, earlier);
    ASSERT_EQ(world.temp.machine().files().SetAttributes(target, FILE_ATTRIBUTE_READONLY),
              ERROR_SUCCESS);
    EXPECT_EQ(world.Play(kExpressScript), toolkit::kExitScriptFailed);
    EXPECT_NE(world.errors.str().find("Installation Incomplete"), std::string::npos);

    EXPECT_TRUE(world.temp.Exists("C:\\SETUP\\Optimizer.exe"));
    EXPECT_FALSE(world.temp.Exists(std::string(kGroup) + "\\Optimizer.lnk"));
    const std::optional<common::InstallLog> log =
        common::ReadInstallLog(world.temp.machine().registry(), testing::kRecordKey);
    ASSERT_TRUE(log);
    EXPECT_EQ(Find(*log, target), nullptr);
  }
}

TEST(InstallLog, EntriesSurviveTheirTextFormAndBadTextIsRefused) {
  const common::InstallLog entries = {
      common::LoggedFolder("C:\\Program Files\\A b"),
      {LoggedKind::File, "C:\\x\\Optimizer.exe", 25, common::ContentHash("x")},
      {LoggedKind::SharedFile, "C:\\WINDOWS\\SYSTEM\\A.DLL", 0, common::ContentHash("")},
  };
  for (const common::LogEntry& entry : entries) {
    const std::optional<common::LogEntry> back =
        common::ParseLogEntry(common::FormatLogEntry(entry));
    ASSERT_TRUE(back) << common::FormatLogEntry(entry);
    EXPECT_EQ(back->kind, entry.kind);
    EXPECT_EQ(back->path, entry.path);
    EXPECT_EQ(back->size, entry.size);
    EXPECT_EQ(back->hash, entry.hash);
  }
  for (const char* bad :
       {"", "folder|", "file|12|0123456789abcdef|", "file|x|0123456789abcdef|C:\\a",
        "file|12|short|C:\\a", "link|C:\\a", "folder|C:\\a|b"}) {
    EXPECT_FALSE(common::ParseLogEntry(bad)) << bad;
  }
  EXPECT_NE(common::ContentHash("contents of Optimizer.exe"),
            common::ContentHash("contents of Optimizer.exX"));
  EXPECT_EQ(common::ContentHash("").size(), 16u);
}

}  // namespace
}  // namespace vu::installer
