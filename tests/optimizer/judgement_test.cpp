// How the cleaners judge what they cannot see well: a check that could not be made keeps the
// item and marks the step failed; a cut reading never stops inside a path that carries on; a
// read that failed is a failed step, while everything else is still judged.
#include <string>

#include <gtest/gtest.h>

#include "cleaner_fixture.h"
#include "optimizer/engine/missing_file.h"
#include "optimizer/engine/registry_mistakes.h"
#include "optimizer/engine/shared_entries.h"
#include "optimizer/engine/shortcuts.h"

namespace vu::optimizer::testing {
namespace {

using vu::platform::sandbox::Op;

constexpr auto HKLM = HKEY_LOCAL_MACHINE;
const std::string kUninstall(kUninstallKey);
const std::string kShared(kSharedDllsKey);

class JudgementTest : public CleanerTest {
 protected:
  bool Missing(const std::string& text) { return IsMissingFile(machine(), text) == common::kTrue; }
  bool Stale(const std::string& text) {
    return IsStaleUninstallCommand(machine(), text) == common::kTrue;
  }
  bool FixRegistry() {
    Engine e = engine();
    return FixRegistryMistakes(e);
  }
  bool Shortcuts() {
    Engine e = engine();
    const bool found = FindShortcuts(e);
    return RemoveBrokenShortcuts(e) && found;
  }
  bool SearchShortcuts() {
    Engine e = engine();
    return FindShortcuts(e);
  }
  bool RemoveEntries() {
    Engine e = engine();
    return RemoveStaleUninstallEntries(e);
  }
  bool RemoveDlls() {
    Engine e = engine();
    return RemoveOrphanedDlls(e);
  }
  void Entry(const std::string& name, const std::string& command) {
    Sz(HKLM, kUninstall + name, "DisplayName", name);
    Sz(HKLM, kUninstall + name, "UninstallString", command);
  }
  void DenyAttributes(const std::string& path) {
    machine().faults().FailSubject(Op::Attributes, path, ERROR_ACCESS_DENIED);
  }
};

constexpr const char* kWriter = "C:\\PROGRAM FILES\\WRITER\\WRITER.EXE";

TEST_F(JudgementTest, AReadingThatCannotBeCheckedKeepsTheItemAndFailsTheStep) {
  File(kWriter);
  DenyAttributes(kWriter);
  // "C:\PROGRAM" is not there, but it is no reading of this path: the path carries on after it.
  EXPECT_EQ(JudgeMissingFile(machine(), kWriter), PathState::Unknown);
  EXPECT_FALSE(Missing(kWriter));
  EXPECT_EQ(JudgeMissingFile(machine(), std::string(kWriter) + " /s"), PathState::Unknown);
  EXPECT_FALSE(Stale(std::string(kWriter) + " /u"));

  Link("C:\\WINDOWS\\DESKTOP\\Writer.lnk", kWriter);
  Link("C:\\WINDOWS\\DESKTOP\\Gone.lnk", "C:\\GONE\\GONE.EXE");
  EXPECT_FALSE(Shortcuts()) << "a target that could not be checked is work left undone";
  EXPECT_TRUE(Exists("C:\\WINDOWS\\DESKTOP\\Writer.lnk"));
  EXPECT_FALSE(Exists("C:\\WINDOWS\\DESKTOP\\Gone.lnk"));

  Sz(HKLM, "Software\\Writer", "Path", kWriter);
  Sz(HKLM, "Software\\Writer", "Old", "C:\\GONE\\OLD.EXE");
  EXPECT_FALSE(FixRegistry());
  EXPECT_TRUE(HasValue(HKLM, "Software\\Writer", "Path"));
  EXPECT_FALSE(HasValue(HKLM, "Software\\Writer", "Old"));

  Entry("Writer", std::string(kWriter) + " /u");
  Entry("Gone", "C:\\GONE\\UNINST.EXE");
  EXPECT_FALSE(RemoveEntries());
  EXPECT_TRUE(HasKey(HKLM, kUninstall + "Writer"));
  EXPECT_FALSE(HasKey(HKLM, kUninstall + "Gone"));

  Sz(HKLM, kShared, kWriter, "1");
  Sz(HKLM, kShared, "C:\\GONE\\GONE.DLL", "1");
  EXPECT_FALSE(RemoveDlls());
  EXPECT_TRUE(HasValue(HKLM, kShared, kWriter));
  EXPECT_FALSE(HasValue(HKLM, kShared, "C:\\GONE\\GONE.DLL"));
}

TEST_F(JudgementTest, AShorterReadingThatCannotBeCheckedKeepsAPathWhoseOtherReadingsAreGone) {
  // The cut after the extension is what exists; it cannot be asked, so nothing is concluded.
  File("C:\\APP\\RUN.EXE");
  DenyAttributes("C:\\APP\\RUN.EXE");
  EXPECT_EQ(JudgeMissingFile(machine(), "C:\\APP\\RUN.EXE,1"), PathState::Unknown);
  EXPECT_FALSE(Stale("C:\\APP\\RUN.EXE,1"));
  // A drive that is not ready or a file being written tells nothing either.
  machine().faults().FailSubject(Op::Attributes, "C:\\NR\\X.EXE", ERROR_NOT_READY);
  machine().faults().FailSubject(Op::Attributes, "C:\\SV\\X.EXE", ERROR_SHARING_VIOLATION);
  EXPECT_FALSE(Missing("C:\\NR\\X.EXE"));
  EXPECT_FALSE(Missing("C:\\SV\\X.EXE"));
  // A name the file system refuses names nothing: kept, and no failure.
  EXPECT_EQ(JudgeMissingFile(machine(), "C:\\APP\\*.LOG"), PathState::Invalid);
}

TEST_F(JudgementTest, ACutReadingCountsOnlyWhenNoPathFollowsTheCut) {
  File("C:\\Program Files\\App 2.0\\run.exe");
  Folder("C:\\Program Files\\App");
  Folder("C:\\Program Files\\App Suite");
  Folder("C:\\WINDOWS\\SYSTEM");
  EXPECT_FALSE(Missing("C:\\Program Files\\App 2.0\\run.exe /s"));
  EXPECT_FALSE(Missing("C:\\Program Files\\App 2.0\\run.exe,1"));
  EXPECT_FALSE(Missing("C:\\Program Files\\App 2.0;C:\\Other"));
  for (const char* gone : {"C:\\Program Files\\App Old\\x.exe", "C:\\WINDOWS\\SYSTEM Backup\\x.dll",
                           "C:\\Program Files\\App,Old\\x.exe", "C:\\Program Files\\App;Old\\x.exe",
                           "C:\\Program Files\\App Old\\x.exe /s"}) {
    EXPECT_TRUE(Missing(gone)) << gone;
  }
  EXPECT_FALSE(Stale("C:\\Program Files\\App 2.0\\run.exe /u"));
  EXPECT_TRUE(Stale("C:\\Program Files\\App Old\\uninst.exe"));
  EXPECT_TRUE(Stale("C:\\Program Files\\App Old\\uninst.exe /u"));

  // The same through the cleaners.
  Entry("Old", "C:\\Program Files\\App Old\\uninst.exe");
  Entry("Live", "C:\\Program Files\\App 2.0\\run.exe /u");
  EXPECT_TRUE(RemoveEntries());
  EXPECT_FALSE(HasKey(HKLM, kUninstall + "Old"));
  EXPECT_TRUE(HasKey(HKLM, kUninstall + "Live"));

  Link("C:\\WINDOWS\\DESKTOP\\Suite.lnk", "C:\\Program Files\\App Suite\\gone.exe");
  Link("C:\\WINDOWS\\DESKTOP\\Run.lnk", "C:\\Program Files\\App 2.0\\run.exe");
  EXPECT_TRUE(Shortcuts());
  EXPECT_FALSE(Exists("C:\\WINDOWS\\DESKTOP\\Suite.lnk"));
  EXPECT_TRUE(Exists("C:\\WINDOWS\\DESKTOP\\Run.lnk"));

  Sz(HKLM, "Software\\App", "Backup", "C:\\WINDOWS\\SYSTEM Backup\\x.dll");
  Sz(HKLM, "Software\\App", "Comma", "C:\\Program Files\\App,Old\\x.exe");
  Sz(HKLM, "Software\\App", "Live", "C:\\Program Files\\App 2.0\\run.exe /s");
  EXPECT_TRUE(FixRegistry());
  EXPECT_FALSE(HasValue(HKLM, "Software\\App", "Backup"));
  EXPECT_FALSE(HasValue(HKLM, "Software\\App", "Comma"));
  EXPECT_TRUE(HasValue(HKLM, "Software\\App", "Live"));
}

TEST_F(JudgementTest, ARegistryReadThatFailsFailsTheStepWhichStillJudgesTheRest) {
  Sz(HKLM, "Software\\A", "Gone", "C:\\GONE\\A.EXE");
  Sz(HKLM, "Software\\B", "Gone", "C:\\GONE\\B.EXE");
  Sz(HKLM, "Software\\C", "Gone", "C:\\GONE\\C.EXE");
  machine().faults().FailSubject(Op::RegOpenKey, "Software\\B", ERROR_ACCESS_DENIED);
  EXPECT_FALSE(FixRegistry());
  EXPECT_FALSE(HasValue(HKLM, "Software\\A", "Gone"));
  EXPECT_FALSE(HasValue(HKLM, "Software\\C", "Gone"));
  machine().faults().Clear();
  EXPECT_TRUE(HasValue(HKLM, "Software\\B", "Gone"));

  // A key that is not there at all (HKEY_USERS has no Software key) is no failure.
  EXPECT_TRUE(FixRegistry());

  // The enumeration itself failing part-way.
  Sz(HKLM, "Software\\D", "Gone", "C:\\GONE\\D.EXE");
  machine().faults().FailNth(Op::RegEnumValue, 1, ERROR_ACCESS_DENIED);
  EXPECT_FALSE(FixRegistry());
  machine().faults().Clear();
  machine().faults().FailNth(Op::RegEnumKey, 1, ERROR_ACCESS_DENIED);
  EXPECT_FALSE(FixRegistry());
  machine().faults().Clear();
  EXPECT_TRUE(FixRegistry());
  EXPECT_FALSE(HasValue(HKLM, "Software\\D", "Gone"));
}

TEST_F(JudgementTest, AFailedReadOfTheSharedListsFailsTheirSteps) {
  Sz(HKLM, kShared, "C:\\GONE\\GONE.DLL", "1");
  Entry("Gone", "C:\\GONE\\UNINST.EXE");
  machine().faults().FailNth(Op::RegEnumValue, 1, ERROR_ACCESS_DENIED);
  EXPECT_FALSE(RemoveDlls());
  EXPECT_TRUE(HasValue(HKLM, kShared, "C:\\GONE\\GONE.DLL"));
  machine().faults().FailSubject(Op::RegOpenKey, kUninstall.substr(0, kUninstall.size() - 1),
                                 ERROR_ACCESS_DENIED);
  EXPECT_FALSE(RemoveEntries());
  EXPECT_TRUE(HasKey(HKLM, kUninstall + "Gone"));
  machine().faults().Clear();
  EXPECT_TRUE(RemoveDlls());
  EXPECT_TRUE(RemoveEntries());
  EXPECT_FALSE(HasKey(HKLM, kUninstall + "Gone"));
  // Neither list being there is nothing to fix.
  EXPECT_TRUE(RemoveDlls());
  EXPECT_TRUE(RemoveEntries());
}

TEST_F(JudgementTest, AShortcutThatCannotBeReadMakesTheSearchIncomplete) {
  Link("C:\\L\\a.lnk", "C:\\GONE\\A.EXE");
  Link("C:\\L\\b.lnk", "C:\\GONE\\B.EXE");
  File("C:\\L\\notalink.lnk", std::string(100, 'g'));
  EXPECT_TRUE(SearchShortcuts()) << "a file that is no shortcut is judged: nothing to fix";
  world.state.shortcuts = ShortcutTable{};
  machine().faults().FailSubject(Op::ShortcutTarget, "C:\\L\\a.lnk", ERROR_SHARING_VIOLATION);
  EXPECT_FALSE(SearchShortcuts());
  Engine e = engine();
  EXPECT_TRUE(RemoveBrokenShortcuts(e));
  EXPECT_TRUE(Exists("C:\\L\\a.lnk"));
  EXPECT_FALSE(Exists("C:\\L\\b.lnk"));
}

TEST_F(JudgementTest, TheRegistryStepLeavesTheListOfInstalledProgramsToItsOwnStep) {
  Entry("Stale", "C:\\GONE\\UNINST.EXE");
  Sz(HKLM, kUninstall + "Stale", "DisplayIcon", "C:\\GONE\\APP.EXE,0");
  Sz(HKLM, kUninstall + "Stale\\Sub", "Log", "C:\\GONE\\LOG.TXT");
  Sz(HKEY_CURRENT_USER, kUninstall + "Mine", "UninstallString", "C:\\GONE\\U.EXE");
  Sz(HKLM, "Software\\Microsoft\\Windows\\CurrentVersion\\Other", "Gone", "C:\\GONE\\X.EXE");
  EXPECT_TRUE(FixRegistry());
  EXPECT_TRUE(HasValue(HKLM, kUninstall + "Stale", "UninstallString"));
  EXPECT_TRUE(HasValue(HKLM, kUninstall + "Stale", "DisplayIcon"));
  EXPECT_TRUE(HasValue(HKLM, kUninstall + "Stale\\Sub", "Log"));
  EXPECT_TRUE(HasValue(HKEY_CURRENT_USER, kUninstall + "Mine", "UninstallString"));
  EXPECT_FALSE(HasValue(HKLM, "Software\\Microsoft\\Windows\\CurrentVersion\\Other", "Gone"));
  // Its own step then removes the entry whole.
  EXPECT_TRUE(RemoveEntries());
  EXPECT_FALSE(HasKey(HKLM, kUninstall + "Stale"));
}

TEST_F(JudgementTest, ProgramFilesAndCommonFilesStayWhenTheirLastShortcutGoes) {
  Link("C:\\Program Files\\gone.lnk", "C:\\GONE\\A.EXE");
  Link("C:\\Program Files\\Common Files\\gone.lnk", "C:\\GONE\\B.EXE");
  Link("C:\\Apps\\gone.lnk", "C:\\GONE\\C.EXE");
  Link("C:\\Progs\\gone.lnk", "C:\\GONE\\D.EXE");
  Link("C:\\Progs\\Shared\\gone.lnk", "C:\\GONE\\E.EXE");
  // Where the machine records them elsewhere, those folders are the ones kept.
  const std::string key = "Software\\Microsoft\\Windows\\CurrentVersion";
  Sz(HKLM, key, "ProgramFilesDir", "C:\\Progs");
  Sz(HKLM, key, "CommonFilesDir", "C:\\Progs\\Shared");
  EXPECT_TRUE(Shortcuts());
  EXPECT_FALSE(Exists("C:\\Program Files\\gone.lnk"));
  EXPECT_FALSE(Exists("C:\\Program Files\\Common Files\\gone.lnk"));
  EXPECT_FALSE(Exists("C:\\Progs\\Shared\\gone.lnk"));
  for (const char* kept :
       {"C:\\Program Files", "C:\\Program Files\\Common Files", "C:\\Progs", "C:\\Progs\\Shared"}) {
    EXPECT_TRUE(Exists(kept)) << kept;
  }
  EXPECT_FALSE(Exists("C:\\Apps"));
}

}  // namespace
}  // namespace vu::optimizer::testing
