// The registry mistakes scanner and the missing-file test it shares with the other cleaners.
#include <cstdio>
#include <string>

#include <gtest/gtest.h>

#include "cleaner_fixture.h"
#include "optimizer/engine/missing_file.h"
#include "optimizer/engine/registry_mistakes.h"

namespace vu::optimizer::testing {
namespace {

using vu::platform::Op;

constexpr auto HKLM = HKEY_LOCAL_MACHINE;

TEST(TrimAfterExtension, CutsAfterTheExtensionOrBeforeAFollowingComma) {
  EXPECT_EQ(TrimAfterExtension("C:\\WINDOWS\\SYSTEM\\SHELL32.DLL,4"),
            "C:\\WINDOWS\\SYSTEM\\SHELL32.DLL");
  EXPECT_EQ(TrimAfterExtension("C:\\APP\\RUN.EXE /S"), "C:\\APP\\RUN.EXE");
  EXPECT_EQ(TrimAfterExtension("C:\\A\\B.X,1"), "C:\\A\\B.X");
  EXPECT_EQ(TrimAfterExtension("C:\\A\\B.EX,1"), "C:\\A\\B.EX,");
  EXPECT_EQ(TrimAfterExtension("C:\\A\\B.,1"), "C:\\A\\B.,1");
  EXPECT_EQ(TrimAfterExtension("C:\\MY.DIR\\FILE.TXT"), "C:\\MY.DIR");
  EXPECT_EQ(TrimAfterExtension("C:\\README"), "C:\\README");
  // A comma before the dot does not count; a text shorter than the cut stays whole.
  EXPECT_EQ(TrimAfterExtension("C:\\A,B\\C.DLL,2"), "C:\\A,B\\C.DLL");
  EXPECT_EQ(TrimAfterExtension("C:\\A.B"), "C:\\A.B");
  EXPECT_EQ(TrimAfterExtension(""), "");
  // Characters, not bytes, are counted.
  EXPECT_EQ(TrimAfterExtension("C:\\A.\u00e9\u00e8\u2122X"), "C:\\A.\u00e9\u00e8\u2122");
  EXPECT_EQ(TrimAfterExtension("C:\\A.\u00e9\u00e8,1"), "C:\\A.\u00e9\u00e8,");
}

class MissingFileTest : public CleanerTest {
 protected:
  bool Missing(const std::string& text) { return IsMissingFile(machine(), text) == common::kTrue; }
};

TEST_F(MissingFileTest, OnlyPathsOnTheSystemDriveThatNoReadingFindsAreMissing) {
  File("C:\\OLDAPP\\KEEP.EXE");
  File("C:\\WINDOWS\\SYSTEM\\SHELL32.DLL");
  Folder("C:\\MY.DIR");
  EXPECT_TRUE(Missing("C:\\OLDAPP\\APP.EXE,0"));
  EXPECT_TRUE(Missing("c:\\gone\\x.txt"));
  EXPECT_TRUE(Missing("C:\\GONE\\RUN.EXE \"%1\""));
  EXPECT_FALSE(Missing("C:\\OLDAPP\\KEEP.EXE,0"));
  EXPECT_FALSE(Missing("C:\\WINDOWS\\SYSTEM\\SHELL32.DLL,4"));
  EXPECT_FALSE(Missing("C:\\OLDAPP"));
  EXPECT_FALSE(Missing("C:\\MY.DIR\\FILE.TXT"));
  // Never judged: other drives, relative, quoted, network paths, empty text, the root alone.
  for (const char* text : {"D:\\GONE\\X.EXE", "GONE\\X.EXE", "\"C:\\GONE\\X.EXE\"",
                           "\\\\server\\share\\x.exe", "", "C:\\", "C:GONE.EXE", "1C:\\X"}) {
    EXPECT_FALSE(Missing(text)) << text;
  }
  EXPECT_TRUE(Missing("C:\\" + std::string(252, 'x')));   // 255 characters: judged
  EXPECT_FALSE(Missing("C:\\" + std::string(253, 'x')));  // 256: never
}

TEST_F(MissingFileTest, AnArgumentOrADottedFolderNeverMakesAnExistingProgramMissing) {
  File("C:\\PROGRAM FILES\\APP 2.0\\RUN.EXE");
  File("C:\\PROGRAM FILES\\APP 2.0\\ICONS.DLL");
  EXPECT_FALSE(Missing("C:\\PROGRAM FILES\\APP 2.0\\RUN.EXE /s"));
  EXPECT_FALSE(Missing("C:\\PROGRAM FILES\\APP 2.0\\ICONS.DLL,3"));
  EXPECT_TRUE(Missing("C:\\PROGRAM FILES\\APP 3.0\\RUN.EXE /s"));
  // A search-path list, as App Paths keeps it, names an existing folder.
  EXPECT_FALSE(Missing("C:\\PROGRAM FILES\\APP 2.0;"));
  EXPECT_TRUE(Missing("C:\\PROGRAM FILES\\APP 3.0;"));
}

TEST_F(MissingFileTest, ANameTheFileSystemRefusesIsNotEvidenceOfAMissingFile) {
  Folder("C:\\APP");
  EXPECT_FALSE(Missing("C:\\APP\\*.LOG"));
  EXPECT_FALSE(Missing("C:\\APP\\a|b"));
  // Nor is a failure to read the attributes at all.
  machine().faults().FailSubject(Op::Attributes, "C:\\GONE\\X.EXE", ERROR_ACCESS_DENIED);
  EXPECT_FALSE(Missing("C:\\GONE\\X.EXE"));
}

class RegistryMistakesTest : public CleanerTest {
 protected:
  bool Fix() {
    Engine e = engine();
    return FixRegistryMistakes(e);
  }
};

TEST_F(RegistryMistakesTest, DeletesExactlyTheStringValuesNamingMissingFiles) {
  File("C:\\WINDOWS\\SYSTEM\\SHELL32.DLL");
  const std::string key = "Software\\OldApp\\Settings";
  Sz(HKLM, key, "Gone", "C:\\OLDAPP\\APP.EXE,0");
  Sz(HKLM, key, "Lower", "c:\\gone\\x.txt");
  Sz(HKLM, key, "Present", "C:\\WINDOWS\\SYSTEM\\SHELL32.DLL,4");
  Sz(HKLM, key, "Folder", "C:\\WINDOWS");
  Sz(HKLM, key, "OtherDrive", "D:\\GONE\\X.EXE");
  Sz(HKLM, key, "Quoted", "\"C:\\GONE\\X.EXE\"");
  Sz(HKLM, key, "Text", "hello");
  Sz(HKLM, key, "", "C:\\GONE\\DEFAULT.EXE");
  Raw(HKLM, key, "Expand", REG_EXPAND_SZ, std::string("C:\\GONE\\E.EXE\0", 14));
  Raw(HKLM, key, "Binary", REG_BINARY, std::string("C:\\GONE\\B.EXE\0", 14));
  Raw(HKLM, key, "Dword", REG_DWORD, std::string("\1\0\0\0", 4));
  // Stored without its terminator: the enumeration reads "C:\WINDOWS\SYSTEM\SHELL32.DL".
  Raw(HKLM, key, "Unterminated", REG_SZ, "C:\\WINDOWS\\SYSTEM\\SHELL32.DLL");
  Sz(HKLM, "Software\\Deeper\\And\\Deeper", "Gone", "C:\\GONE\\DEEP.EXE");
  Sz(HKLM, "Software", "Top", "C:\\GONE\\TOP.EXE");
  // Outside "Software\" nothing is looked at.
  Sz(HKLM, "System\\Other", "Gone", "C:\\GONE\\X.EXE");

  EXPECT_TRUE(Fix());
  for (const char* gone : {"Gone", "Lower", ""})
    EXPECT_FALSE(HasValue(HKLM, key, gone)) << gone;
  for (const char* kept : {"Present", "Folder", "OtherDrive", "Quoted", "Text", "Expand", "Binary",
                           "Dword", "Unterminated"}) {
    EXPECT_TRUE(HasValue(HKLM, key, kept)) << kept;
  }
  EXPECT_FALSE(HasValue(HKLM, "Software\\Deeper\\And\\Deeper", "Gone"));
  EXPECT_FALSE(HasValue(HKLM, "Software", "Top"));
  EXPECT_TRUE(HasValue(HKLM, "System\\Other", "Gone"));
  // Keys are never deleted, only values.
  EXPECT_TRUE(HasKey(HKLM, key));
}

TEST_F(RegistryMistakesTest, SoftwareClassesOfEachRootIsNeverEntered) {
  Sz(HKLM, "Software\\Classes\\CLSID\\{X}", "Gone", "C:\\GONE\\X.DLL");
  Sz(HKLM, "SOFTWARE\\CLASSES", "Gone", "C:\\GONE\\X.DLL");
  Sz(HKEY_CURRENT_USER, "Software\\Classes\\X", "Gone", "C:\\GONE\\X.DLL");
  Sz(HKLM, "Software\\Vendor\\Classes", "Gone", "C:\\GONE\\X.DLL");
  Sz(HKEY_CURRENT_USER, "Software\\App", "Gone", "C:\\GONE\\X.DLL");
  Sz(HKEY_USERS, "Software\\App", "Gone", "C:\\GONE\\X.DLL");

  EXPECT_TRUE(Fix());
  EXPECT_TRUE(HasValue(HKLM, "Software\\Classes\\CLSID\\{X}", "Gone"));
  EXPECT_TRUE(HasValue(HKLM, "Software\\Classes", "Gone"));
  EXPECT_TRUE(HasValue(HKEY_CURRENT_USER, "Software\\Classes\\X", "Gone"));
  EXPECT_FALSE(HasValue(HKLM, "Software\\Vendor\\Classes", "Gone"));
  EXPECT_FALSE(HasValue(HKEY_CURRENT_USER, "Software\\App", "Gone"));
  EXPECT_FALSE(HasValue(HKEY_USERS, "Software\\App", "Gone"));
}

// On NT the performance counters' texts are served by the system and cannot be enumerated; the
// step neither enters them nor fails on them.
TEST_F(RegistryMistakesTest, ThePerformanceCountersTextsAreNeverEntered) {
  const std::string perflib = "Software\\Microsoft\\Windows NT\\CurrentVersion\\Perflib\\009";
  Sz(HKLM, perflib, "Gone", "C:\\GONE\\X.DLL");
  Sz(HKLM, "Software\\Wow6432Node\\Microsoft\\Windows NT\\CurrentVersion\\Perflib\\009", "Gone",
     "C:\\GONE\\X.DLL");
  Sz(HKLM, "Software\\Microsoft\\Windows NT\\CurrentVersion\\Other", "Gone", "C:\\GONE\\X.DLL");

  EXPECT_TRUE(Fix());
  EXPECT_TRUE(HasValue(HKLM, perflib, "Gone"));
  EXPECT_FALSE(HasValue(HKLM, "Software\\Microsoft\\Windows NT\\CurrentVersion\\Other", "Gone"));
}

TEST_F(RegistryMistakesTest, ShowsEachPassAndKeyAndLeavesTheProgressTimerAt50) {
  Sz(HKEY_USERS, "Software\\Last\\KEY Name", "x", "y");
  EXPECT_TRUE(Fix());
  const RecordingProgress& progress = world.progress;
  EXPECT_EQ(progress.Count("section "), 3);
  EXPECT_EQ(progress.Last("section "), "HKEY_USERS :");
  EXPECT_EQ(progress.Last("key "), "key name");
  // One yield per key shown.
  EXPECT_EQ(progress.yields, progress.Count("key "));
  EXPECT_EQ(progress.events.back(), "pace 50");
}

TEST_F(RegistryMistakesTest, TheNotFoundTextEndsAWalkEarly) {
  const std::string key = "Software\\Odd";
  Sz(HKLM, key, "Marker", "Not Found");
  Sz(HKLM, key, "After", "C:\\GONE\\X.EXE");
  Sz(HKLM, key + "\\Not Found", "Gone", "C:\\GONE\\X.EXE");
  Sz(HKLM, key + "\\Z", "Gone", "C:\\GONE\\X.EXE");
  EXPECT_TRUE(Fix());
  EXPECT_TRUE(HasValue(HKLM, key, "After"));
  EXPECT_TRUE(HasValue(HKLM, key + "\\Z", "Gone"));
}

TEST_F(RegistryMistakesTest, OnlyTheFirst1000FindsOfAPassAreDeletedAndTheRestIsReported) {
  // Two keys, so that the sandbox's per-key lookups stay small.
  char name[16];
  for (int i = 1; i <= 1200; ++i) {
    std::snprintf(name, sizeof name, "V%04d", i);
    Sz(HKLM, i <= 600 ? "Software\\A" : "Software\\B", name, "C:\\GONE\\X.EXE");
  }
  Sz(HKEY_CURRENT_USER, "Software\\App", "Gone", "C:\\GONE\\X.EXE");
  EXPECT_FALSE(Fix()) << "200 mistakes were left in place";
  EXPECT_FALSE(HasValue(HKLM, "Software\\A", "V0001"));
  EXPECT_FALSE(HasValue(HKLM, "Software\\B", "V1000"));
  EXPECT_TRUE(HasValue(HKLM, "Software\\B", "V1001"));
  EXPECT_TRUE(HasValue(HKLM, "Software\\B", "V1200"));
  // The next pass has its own list.
  EXPECT_FALSE(HasValue(HKEY_CURRENT_USER, "Software\\App", "Gone"));
}

TEST_F(RegistryMistakesTest, AValueThatCannotBeDeletedIsReported) {
  Sz(HKLM, "Software\\App", "Stuck", "C:\\GONE\\X.EXE");
  Sz(HKLM, "Software\\App", "Gone", "C:\\GONE\\Y.EXE");
  machine().faults().FailSubject(Op::RegDeleteValue, "Stuck", ERROR_ACCESS_DENIED);
  EXPECT_FALSE(Fix());
  EXPECT_TRUE(HasValue(HKLM, "Software\\App", "Stuck"));
  EXPECT_FALSE(HasValue(HKLM, "Software\\App", "Gone"));
}

TEST_F(RegistryMistakesTest, PathsWrittenWithShortNamesAreJudgedByTheFilesTheyName) {
  File("C:\\Program Files\\Long Application\\Application.exe");
  const std::string key = "Software\\Long Application";
  Sz(HKLM, key, "Short", "C:\\PROGRA~1\\LONGAP~1\\APPLIC~1.EXE /s");
  Sz(HKLM, key, "Mixed", "c:\\progra~1\\Long Application\\applic~1.exe,0");
  Sz(HKLM, key, "Folder", "C:\\PROGRA~1\\LONGAP~1");
  Sz(HKLM, key, "NoSuchAlias", "C:\\PROGRA~1\\LONGAP~2\\APPLIC~1.EXE");
  EXPECT_TRUE(Fix());
  for (const char* kept : {"Short", "Mixed", "Folder"})
    EXPECT_TRUE(HasValue(HKLM, key, kept)) << kept;
  EXPECT_FALSE(HasValue(HKLM, key, "NoSuchAlias"));
}

}  // namespace
}  // namespace vu::optimizer::testing
