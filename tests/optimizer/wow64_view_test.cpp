// A sandbox playing 64-bit Windows: the 32-bit programs' keys (below Wow6432Node) name files as
// a 32-bit program sees them, where System32 is the 32-bit system folder.
#include <string>

#include <gtest/gtest.h>

#include "cleaner_fixture.h"
#include "optimizer/engine/registry_mistakes.h"
#include "optimizer/engine/shared_entries.h"
#include "optimizer/engine/wow64_view.h"

namespace vu::optimizer::testing {
namespace {

constexpr auto HKLM = HKEY_LOCAL_MACHINE;
const std::string kShared(kSharedDllsKey);
const std::string kShared32 =
    "Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";
const std::string kUninstall32 =
    "Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
const std::string kOnly32 = "C:\\WINDOWS\\SYSTEM32\\ONLY32.DLL";
const std::string kOnly64 = "C:\\WINDOWS\\SYSTEM32\\ONLY64.DLL";
const std::string kGone = "C:\\WINDOWS\\SYSTEM32\\GONE.DLL";

class Wow64ViewTest : public CleanerTest {
 protected:
  void SetUp() override {
    world.temp.SetFacts(
        {{"SystemDir", "C:\\WINDOWS\\SYSTEM32"}, {"SystemWow64Dir", "C:\\WINDOWS\\SYSWOW64"}});
    File("C:\\WINDOWS\\SYSWOW64\\ONLY32.DLL");
    File(kOnly64);
  }
  void Dword(const std::string& key, const std::string& name) {
    Raw(HKLM, key, name, REG_DWORD, std::string("\1\0\0\0", 4));
  }
};

TEST_F(Wow64ViewTest, TellsTheKeysAndPathsOfThe32BitPrograms) {
  EXPECT_TRUE(InWow64View("Software\\Wow6432Node\\Microsoft\\"));
  EXPECT_TRUE(InWow64View("SOFTWARE\\WOW6432NODE"));
  EXPECT_FALSE(InWow64View("Software\\Wow6432Nodes\\x\\"));
  EXPECT_FALSE(InWow64View("Software\\Microsoft\\"));
  EXPECT_EQ(Wow64Twin("Software\\Microsoft\\X\\"), "Software\\Wow6432Node\\Microsoft\\X\\");
  EXPECT_EQ(Wow64Twin("System\\X"), "System\\X");
  vu::platform::System& system = machine().system();
  EXPECT_EQ(As32BitProgramsSeeIt(system, "c:\\windows\\system32\\A.DLL,1"),
            "C:\\WINDOWS\\SYSWOW64\\A.DLL,1");
  EXPECT_EQ(As32BitProgramsSeeIt(system, "C:\\WINDOWS\\SYSTEM32X\\A.DLL"),
            "C:\\WINDOWS\\SYSTEM32X\\A.DLL");
  EXPECT_EQ(As32BitProgramsSeeIt(system, "C:\\WINDOWS\\A.DLL"), "C:\\WINDOWS\\A.DLL");
}

TEST_F(Wow64ViewTest, EachListOfSharedDllsIsJudgedInItsOwnView) {
  Dword(kShared, kOnly64);
  Dword(kShared, kOnly32);
  Dword(kShared32, kOnly32);
  Dword(kShared32, kOnly64);
  Dword(kShared32, kGone);
  Engine e = engine();
  EXPECT_TRUE(RemoveOrphanedDlls(e));
  EXPECT_TRUE(HasValue(HKLM, kShared, kOnly64));
  EXPECT_FALSE(HasValue(HKLM, kShared, kOnly32)) << "not in the 64-bit System32";
  EXPECT_TRUE(HasValue(HKLM, kShared32, kOnly32));
  EXPECT_FALSE(HasValue(HKLM, kShared32, kOnly64)) << "not in the 32-bit system folder";
  EXPECT_FALSE(HasValue(HKLM, kShared32, kGone));
}

TEST_F(Wow64ViewTest, The32BitProgramsUninstallListIsJudgedToo) {
  File("C:\\WINDOWS\\SYSWOW64\\UNINST32.EXE");
  Sz(HKLM, kUninstall32 + "Kept", "DisplayName", "Kept");
  Sz(HKLM, kUninstall32 + "Kept", "UninstallString", "C:\\WINDOWS\\SYSTEM32\\UNINST32.EXE -x");
  Sz(HKLM, kUninstall32 + "Stale", "DisplayName", "Stale");
  Sz(HKLM, kUninstall32 + "Stale", "UninstallString", "C:\\OLDAPP\\UNINST.EXE");
  Engine e = engine();
  EXPECT_TRUE(RemoveStaleUninstallEntries(e));
  EXPECT_TRUE(HasKey(HKLM, kUninstall32 + "Kept"));
  EXPECT_FALSE(HasKey(HKLM, kUninstall32 + "Stale"));
}

TEST_F(Wow64ViewTest, ValuesOfThe32BitKeysNameWhatTheySee) {
  Sz(HKLM, "Software\\Wow6432Node\\App", "Path", kOnly32);
  Sz(HKLM, "Software\\App", "Path", kOnly32);
  Sz(HKLM, "Software\\Wow6432Node\\Classes\\X", "Path", kGone);
  Engine e = engine();
  MistakeList list;
  ScanRegistryKey(e, HKLM, "Software\\", list);
  ASSERT_EQ(list.count, 1);
  EXPECT_EQ(list.entries[0].keyPath, "Software\\App\\");
}

}  // namespace
}  // namespace vu::optimizer::testing
