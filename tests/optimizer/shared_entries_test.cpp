// Orphaned shared-DLL entries and stale entries of the list of installed programs.
#include <cstdio>
#include <string>

#include <gtest/gtest.h>

#include "cleaner_fixture.h"
#include "optimizer/engine/shared_entries.h"

namespace vu::optimizer::testing {
namespace {

using vu::platform::sandbox::Op;

constexpr auto HKLM = HKEY_LOCAL_MACHINE;
const std::string kShared(kSharedDllsKey);
const std::string kUninstall(kUninstallKey);

class SharedEntriesTest : public CleanerTest {
 protected:
  bool RemoveDlls() {
    Engine e = engine();
    return RemoveOrphanedDlls(e);
  }
  bool RemoveEntries() {
    Engine e = engine();
    return RemoveStaleUninstallEntries(e);
  }
  bool Stale(const std::string& command) {
    return IsStaleUninstallCommand(machine(), command) == common::kTrue;
  }
  // An entry of the list of installed programs: its values in this order.
  void Entry(const std::string& name,
             std::initializer_list<std::pair<std::string, std::string>> values) {
    for (const auto& [valueName, text] : values)
      Sz(HKLM, kUninstall + name, valueName, text);
  }
  bool HasEntry(const std::string& name) { return HasKey(HKLM, kUninstall + name); }
};

TEST_F(SharedEntriesTest, RemovesTheReferencesOfDllsThatAreGone) {
  File("C:\\WINDOWS\\SYSTEM\\MSVCRT.DLL");
  Raw(HKLM, kShared, "C:\\WINDOWS\\SYSTEM\\GONE.DLL", REG_DWORD, std::string("\1\0\0\0", 4));
  Raw(HKLM, kShared, "C:\\WINDOWS\\SYSTEM\\MSVCRT.DLL", REG_DWORD, std::string("\2\0\0\0", 4));
  Raw(HKLM, kShared, "D:\\APP\\GONE.DLL", REG_DWORD, std::string("\1\0\0\0", 4));
  Sz(HKLM, kShared, "c:\\app\\gone2.dll", "1");  // judged by its name whatever its type
  EXPECT_TRUE(RemoveDlls());
  EXPECT_FALSE(HasValue(HKLM, kShared, "C:\\WINDOWS\\SYSTEM\\GONE.DLL"));
  EXPECT_FALSE(HasValue(HKLM, kShared, "c:\\app\\gone2.dll"));
  EXPECT_TRUE(HasValue(HKLM, kShared, "C:\\WINDOWS\\SYSTEM\\MSVCRT.DLL"));
  EXPECT_TRUE(HasValue(HKLM, kShared, "D:\\APP\\GONE.DLL"));
}

TEST_F(SharedEntriesTest, OnlyTheFirst1000OrphansAreRemovedAndTheRestIsReported) {
  char name[40];
  for (int i = 1; i <= 1001; ++i) {
    std::snprintf(name, sizeof name, "C:\\GONE\\%04d.DLL", i);
    Raw(HKLM, kShared, name, REG_DWORD, std::string("\1\0\0\0", 4));
  }
  EXPECT_FALSE(RemoveDlls());
  EXPECT_FALSE(HasValue(HKLM, kShared, "C:\\GONE\\1000.DLL"));
  EXPECT_TRUE(HasValue(HKLM, kShared, "C:\\GONE\\1001.DLL"));
  EXPECT_TRUE(RemoveDlls()) << "the next run takes the rest";
  EXPECT_FALSE(HasValue(HKLM, kShared, "C:\\GONE\\1001.DLL"));
}

TEST_F(SharedEntriesTest, AReferenceThatCannotBeDeletedIsReported) {
  Raw(HKLM, kShared, "C:\\GONE\\A.DLL", REG_DWORD, std::string("\1\0\0\0", 4));
  machine().faults().FailNth(Op::RegDeleteValue, 1, ERROR_ACCESS_DENIED);
  EXPECT_FALSE(RemoveDlls());
  EXPECT_TRUE(HasValue(HKLM, kShared, "C:\\GONE\\A.DLL"));
}

TEST_F(SharedEntriesTest, JudgesUninstallCommandsByTheirProgramAndASecondPath) {
  File("C:\\WINDOWS\\UNINST.EXE");
  File("C:\\PROGRAM FILES\\APP 2.0\\UNINST.EXE");
  Folder("C:\\PROGRA~1\\KEEP");
  const std::string isu = "C:\\PROGRA~1\\APP\\DEISL1.ISU";
  const std::string installShield = "C:\\WINDOWS\\UNINST.EXE -f\"" + isu + "\"";
  EXPECT_TRUE(Stale("C:\\OLDAPP\\UNINST.EXE"));
  EXPECT_TRUE(Stale("c:\\oldapp\\uninst.exe /x"));
  EXPECT_TRUE(Stale(installShield));
  File(isu);
  EXPECT_FALSE(Stale(installShield));
  EXPECT_FALSE(Stale("C:\\WINDOWS\\UNINST.EXE"));
  EXPECT_FALSE(Stale("RunDll32 C:\\GONE\\SETUPAPI.DLL,Remove"));
  EXPECT_FALSE(Stale("D:\\GONE\\UNINST.EXE"));
  EXPECT_FALSE(Stale("\"C:\\GONE\\UNINST.EXE\""));
  EXPECT_FALSE(Stale(""));
  // A second path on another drive, or none at all, is not looked at.
  EXPECT_FALSE(Stale("C:\\WINDOWS\\UNINST.EXE -f\"D:\\GONE.ISU\""));
  EXPECT_FALSE(Stale("C:\\WINDOWS\\UNINST.EXE /remove"));
  // The second path with an argument after it, a dotted folder or a longer extension.
  EXPECT_FALSE(Stale("C:\\WINDOWS\\UNINST.EXE -d C:\\PROGRA~1\\KEEP /quiet"));
  EXPECT_TRUE(Stale("C:\\WINDOWS\\UNINST.EXE -d C:\\PROGRA~1\\GONE /quiet"));
  EXPECT_FALSE(Stale("C:\\PROGRAM FILES\\APP 2.0\\UNINST.EXE /x"));
  File("C:\\APP\\LOG.HTML");
  EXPECT_FALSE(Stale("C:\\WINDOWS\\UNINST.EXE \"C:\\APP\\LOG.HTML\""));
}

TEST_F(SharedEntriesTest, RemovesEntriesWhoseCommandIsStaleOnceTheDisplayNameWasSeen) {
  File("C:\\APP\\UNINST.EXE");
  Entry("Old", {{"DisplayName", "Old App"}, {"UninstallString", "C:\\OLDAPP\\UNINST.EXE"}});
  Sz(HKLM, kUninstall + "Old\\Sub", "x", "y");
  Entry("Reversed", {{"UninstallString", "C:\\OLDAPP\\UNINST.EXE"}, {"DisplayName", "R"}});
  Entry("Quiet", {{"displayname", "Q"}, {"QuietUninstallString", "C:\\OLDAPP\\UNINST.EXE /q"}});
  Entry("Live", {{"DisplayName", "Live"}, {"UninstallString", "C:\\APP\\UNINST.EXE"}});
  Entry("Nameless", {{"UninstallString", "C:\\OLDAPP\\UNINST.EXE"}});
  Entry("Vendor\\Nested", {{"DisplayName", "N"},
                           {"UninstallString", "C:\\OLD\\U.EXE"},
                           {"UninstallString2", "C:\\OLD\\V.EXE"}});
  Entry("Rundll", {{"DisplayName", "Rd"}, {"UninstallString", "RunDll32 setupapi,x"}});
  // A stale command stored as a number or expandable text is not looked at.
  Sz(HKLM, kUninstall + "Expand", "DisplayName", "E");
  Raw(HKLM, kUninstall + "Expand", "UninstallString", REG_EXPAND_SZ,
      std::string("C:\\OLD\\U.EXE\0", 13));

  EXPECT_TRUE(RemoveEntries());
  EXPECT_FALSE(HasEntry("Old"));
  EXPECT_FALSE(HasEntry("Quiet"));
  EXPECT_FALSE(HasEntry("Vendor\\Nested"));
  EXPECT_TRUE(HasEntry("Vendor"));
  for (const char* kept : {"Reversed", "Live", "Nameless", "Rundll", "Expand"})
    EXPECT_TRUE(HasEntry(kept)) << kept;
}

TEST_F(SharedEntriesTest, TheListsOwnKeyIsNeverRemoved) {
  // A display name and a stale command written onto the list's key itself.
  Sz(HKLM, kUninstall, "DisplayName", "Stray");
  Sz(HKLM, kUninstall, "UninstallString", "C:\\GONE\\UNINST.EXE");
  Entry("Live", {{"DisplayName", "Live"}, {"UninstallString", "C:\\WINDOWS"}});
  EXPECT_TRUE(RemoveEntries());
  EXPECT_TRUE(HasKey(HKLM, kUninstall));
  EXPECT_TRUE(HasEntry("Live"));
}

TEST_F(SharedEntriesTest, AStaleEntryInsideAStaleEntryIsNotAFailure) {
  Entry("Outer", {{"DisplayName", "O"}, {"UninstallString", "C:\\GONE\\O.EXE"}});
  Entry("Outer\\Inner", {{"DisplayName", "I"}, {"UninstallString", "C:\\GONE\\I.EXE"}});
  EXPECT_TRUE(RemoveEntries());
  EXPECT_FALSE(HasEntry("Outer"));
}

TEST_F(SharedEntriesTest, AnEntryThatCannotBeDeletedIsReported) {
  Entry("A", {{"DisplayName", "A"}, {"UninstallString", "C:\\GONE\\A.EXE"}});
  Entry("B", {{"DisplayName", "B"}, {"UninstallString", "C:\\GONE\\B.EXE"}});
  machine().faults().FailNth(Op::RegDeleteKey, 1, ERROR_ACCESS_DENIED);
  EXPECT_FALSE(RemoveEntries());
  EXPECT_TRUE(HasEntry("A"));
  EXPECT_FALSE(HasEntry("B"));
}

TEST_F(SharedEntriesTest, ShortNamesNameTheFilesTheirLongNamesDo) {
  File("C:\\Program Files\\Common Files\\Shared Stuff\\Long Library.dll");
  File("C:\\Program Files\\Long Application\\Uninstall Tool.exe");
  const std::string live = "C:\\PROGRA~1\\COMMON~1\\SHARED~1\\LONGLI~1.DLL";
  const std::string gone = "C:\\PROGRA~1\\COMMON~1\\SHARED~1\\LONGLI~2.DLL";
  Raw(HKLM, kShared, live, REG_DWORD, std::string("\1\0\0\0", 4));
  Raw(HKLM, kShared, gone, REG_DWORD, std::string("\1\0\0\0", 4));
  EXPECT_TRUE(RemoveDlls());
  EXPECT_TRUE(HasValue(HKLM, kShared, live));
  EXPECT_FALSE(HasValue(HKLM, kShared, gone));

  Entry("Long", {{"DisplayName", "Long App"},
                 {"UninstallString", "C:\\PROGRA~1\\LONGAP~1\\UNINST~1.EXE /x"}});
  Entry("Gone", {{"DisplayName", "Gone App"},
                 {"UninstallString", "C:\\PROGRA~1\\LONGAP~1\\UNINST~2.EXE /x"}});
  EXPECT_FALSE(Stale("C:\\PROGRA~1\\LONGAP~1\\UNINST~1.EXE /x"));
  EXPECT_TRUE(RemoveEntries());
  EXPECT_TRUE(HasEntry("Long"));
  EXPECT_FALSE(HasEntry("Gone"));
}

}  // namespace
}  // namespace vu::optimizer::testing
