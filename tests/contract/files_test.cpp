// The file seam as both back ends must provide it: listings, attributes, the status codes that
// tell a missing folder from a missing file, whole-file reads and writes, INI entries, long paths.
#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/text.h"
#include "tests/contract/env.h"
#include "tests/contract/seam_helpers.h"

namespace vu::contract {
namespace {

class FilesTest : public ContractTest {
 protected:
  void Write(const std::string& path, std::string_view bytes) {
    ASSERT_EQ(files().WriteAll(path, bytes), ERROR_SUCCESS) << path;
  }
  void MakeDir(const std::string& path) {
    ASSERT_EQ(files().MakeDirectory(path), ERROR_SUCCESS) << path;
  }
  std::uint32_t Attr(const std::string& path) { return files().Attributes(path); }
};

TEST_F(FilesTest, ListingStartsWithDotEntriesThenEveryName) {
  const std::string dir = Path("List");
  MakeDir(dir);
  Write(dir + "\\beta.txt", "b");
  Write(dir + "\\Alpha.TXT", "aa");
  MakeDir(dir + "\\gamma");

  const ListingResult listing = List(files(), dir + "\\*.*");
  ASSERT_EQ(listing.status, static_cast<Status>(ERROR_SUCCESS));
  std::vector<std::string> names = listing.names();
  ASSERT_EQ(names.size(), 5u);
  EXPECT_EQ(names[0], ".");
  EXPECT_EQ(names[1], "..");
  std::vector<std::string> rest(names.begin() + 2, names.end());
  std::vector<std::string> sorted = rest;
  std::sort(sorted.begin(), sorted.end(), [](const std::string& a, const std::string& b) {
    return vu::platform::CompareNoCase(a, b) < 0;
  });
  EXPECT_EQ(sorted, (std::vector<std::string>{"Alpha.TXT", "beta.txt", "gamma"}));
  if (traits().listingSorted) {
    EXPECT_EQ(rest, sorted);
  }

  for (const auto& entry : listing.entries) {
    const bool folder = entry.name == "." || entry.name == ".." || entry.name == "gamma";
    EXPECT_EQ((entry.attributes & FILE_ATTRIBUTE_DIRECTORY) != 0, folder) << entry.name;
    if (entry.name == "Alpha.TXT") {
      EXPECT_EQ(entry.size, 2u);
    }
  }
  // A walk's listing gives the same names, aliases and attributes in the same order.
  vu::platform::FindData entry;
  std::unique_ptr<vu::platform::Listing> walk;
  ASSERT_EQ(files().FindFirstNames(dir + "\\*.*", entry, walk), static_cast<Status>(ERROR_SUCCESS));
  std::vector<vu::platform::FindData> walked;
  do {
    walked.push_back(entry);
  } while (walk->Next(entry));
  ASSERT_EQ(walked.size(), listing.entries.size());
  for (std::size_t i = 0; i < walked.size(); ++i) {
    EXPECT_EQ(walked[i].name, listing.entries[i].name);
    EXPECT_EQ(walked[i].alternateName, listing.entries[i].alternateName);
    EXPECT_EQ(walked[i].attributes, listing.entries[i].attributes) << walked[i].name;
  }
}

TEST_F(FilesTest, PatternSelectsNamesWithoutRegardToCase) {
  Write(Path("one.LNK"), "");
  Write(Path("two.lnk"), "");
  Write(Path("three.txt"), "");
  std::vector<std::string> names = List(files(), Path("*.lnk")).names();
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"one.LNK", "two.lnk"}));
}

TEST_F(FilesTest, MissingFolderMissingFileAndEmptyFolderAreTold) {
  EXPECT_EQ(List(files(), Path("NoSuchFolder\\*.*")).status,
            static_cast<Status>(ERROR_PATH_NOT_FOUND));
  MakeDir(Path("Empty"));
  EXPECT_EQ(List(files(), Path("Empty\\*.lnk")).status, static_cast<Status>(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(List(files(), Path("Empty\\*.*")).names(), (std::vector<std::string>{".", ".."}));

  Status error = ERROR_SUCCESS;
  EXPECT_EQ(files().Attributes(Path("Empty\\none.txt"), &error), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(error, static_cast<Status>(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(files().Attributes(Path("NoSuchFolder\\none.txt"), &error), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(error, static_cast<Status>(ERROR_PATH_NOT_FOUND));
  EXPECT_NE(files().Attributes(Path("Empty"), &error), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(error, static_cast<Status>(ERROR_SUCCESS));
}

TEST_F(FilesTest, AttributesAreKeptAndReadBack) {
  const std::string file = Path("attr.txt");
  Write(file, "x");
  EXPECT_NE(Attr(file) & FILE_ATTRIBUTE_ARCHIVE, 0u);
  EXPECT_EQ(Attr(file) & FILE_ATTRIBUTE_DIRECTORY, 0u);

  ASSERT_EQ(files().SetAttributes(
                file, FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM),
            ERROR_SUCCESS);
  const std::uint32_t archive = traits().archiveAlwaysSet ? FILE_ATTRIBUTE_ARCHIVE : 0;
  EXPECT_EQ(Attr(file), 7u | archive);
  const ListingResult listing = List(files(), file);
  ASSERT_EQ(listing.entries.size(), 1u);
  EXPECT_EQ(listing.entries[0].attributes & 7u, 7u);

  ASSERT_EQ(files().SetAttributes(file, FILE_ATTRIBUTE_ARCHIVE), ERROR_SUCCESS);
  EXPECT_EQ(Attr(file), static_cast<std::uint32_t>(FILE_ATTRIBUTE_ARCHIVE));
  ASSERT_EQ(files().SetAttributes(file, 0), ERROR_SUCCESS);
  EXPECT_EQ(Attr(file), archive ? archive : static_cast<std::uint32_t>(FILE_ATTRIBUTE_NORMAL));

  MakeDir(Path("dir"));
  EXPECT_NE(Attr(Path("dir")) & FILE_ATTRIBUTE_DIRECTORY, 0u);
}

TEST_F(FilesTest, HiddenFilesAreRewrittenButReadOnlyOnesRefuseWritesAndRemoval) {
  // Windows refuses to open a hidden file for a new write unless asked with its attributes.
  const std::string file = Path("MSDOS.SYS");
  Write(file, "old content that is longer");
  ASSERT_EQ(files().SetAttributes(file, FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM),
            ERROR_SUCCESS);
  Write(file, "new");
  std::string bytes;
  ASSERT_EQ(files().ReadAll(file, bytes), ERROR_SUCCESS);
  EXPECT_EQ(bytes, "new");

  ASSERT_EQ(files().SetAttributes(file, FILE_ATTRIBUTE_READONLY), ERROR_SUCCESS);
  EXPECT_EQ(files().WriteAll(file, "refused"), static_cast<Status>(ERROR_ACCESS_DENIED));
  EXPECT_EQ(files().Remove(file), static_cast<Status>(ERROR_ACCESS_DENIED));
  ASSERT_EQ(files().ReadAll(file, bytes), ERROR_SUCCESS);
  EXPECT_EQ(bytes, "new");
  ASSERT_EQ(files().SetAttributes(file, 0), ERROR_SUCCESS);
  EXPECT_EQ(files().Remove(file), static_cast<Status>(ERROR_SUCCESS));
  EXPECT_EQ(Attr(file), INVALID_FILE_ATTRIBUTES);
}

TEST_F(FilesTest, ADeletionAtTheNextStartLeavesTheFileUntilThen) {
  Write(Path("busy.exe"), "program");
  EXPECT_EQ(files().RemoveAtRestart(Path("busy.exe")), ERROR_SUCCESS);
  std::string bytes;
  EXPECT_EQ(files().ReadAll(Path("busy.exe"), bytes), ERROR_SUCCESS);
  EXPECT_EQ(bytes, "program");
}

TEST_F(FilesTest, WholeFileReadsAndWrites) {
  const std::string file = Path("data.bin");
  const std::string bytes = std::string("first line\r\nsecond\0third", 24);
  Write(file, bytes);
  std::string read;
  ASSERT_EQ(files().ReadAll(file, read), ERROR_SUCCESS);
  EXPECT_EQ(read, bytes);
  std::uint64_t length = 0;
  ASSERT_EQ(files().Length(file, length), ERROR_SUCCESS);
  EXPECT_EQ(length, bytes.size());
  std::string line;
  ASSERT_EQ(files().ReadFirstLine(file, line), ERROR_SUCCESS);
  EXPECT_EQ(line, "first line");

  // The first line ends at either line end, whatever its length, and is read as far as 64 KiB.
  const std::string longLine(10000, 'a');
  for (const auto& [text, first] : {std::pair<std::string, std::string>{"only\nlf", "only"},
                                    {"no end", "no end"},
                                    {longLine + "\r\nsecond", longLine},
                                    {std::string(4095, 'b') + "\nx", std::string(4095, 'b')},
                                    {std::string(70000, 'c') + "\r\n", std::string(65536, 'c')}}) {
    Write(file, text);
    ASSERT_EQ(files().ReadFirstLine(file, line), ERROR_SUCCESS);
    EXPECT_EQ(line, first) << text.size();
  }
  ASSERT_EQ(files().Length(file, length), ERROR_SUCCESS);
  EXPECT_EQ(length, 70002u);

  EXPECT_NE(files().ReadAll(Path("absent.bin"), read), static_cast<Status>(ERROR_SUCCESS));
  EXPECT_NE(files().Length(Path("absent.bin"), length), static_cast<Status>(ERROR_SUCCESS));
  EXPECT_EQ(files().ReadFirstLine(Path("absent.bin"), line),
            static_cast<Status>(ERROR_FILE_NOT_FOUND));
}

TEST_F(FilesTest, CopyCarriesContentAndAttributes) {
  const std::string from = Path("from.txt");
  const std::string to = Path("to.txt");
  Write(from, "payload");
  ASSERT_EQ(files().SetAttributes(from, FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE),
            ERROR_SUCCESS);
  ASSERT_EQ(files().Copy(from, to, true), ERROR_SUCCESS);
  std::string read;
  ASSERT_EQ(files().ReadAll(to, read), ERROR_SUCCESS);
  EXPECT_EQ(read, "payload");
  EXPECT_NE(Attr(to) & FILE_ATTRIBUTE_HIDDEN, 0u);

  Write(from, "newer");
  ASSERT_EQ(files().SetAttributes(to, 0), ERROR_SUCCESS);
  EXPECT_NE(files().Copy(from, to, true), static_cast<Status>(ERROR_SUCCESS));
  ASSERT_EQ(files().ReadAll(to, read), ERROR_SUCCESS);
  EXPECT_EQ(read, "payload");
  EXPECT_EQ(files().Copy(from, to, false), static_cast<Status>(ERROR_SUCCESS));
  ASSERT_EQ(files().ReadAll(to, read), ERROR_SUCCESS);
  EXPECT_EQ(read, "newer");

  EXPECT_NE(files().Copy(Path("absent.txt"), to, false), static_cast<Status>(ERROR_SUCCESS));
}

TEST_F(FilesTest, FoldersAreMadeOnceAndRemovedOnlyWhenEmpty) {
  const std::string dir = Path("Folder");
  MakeDir(dir);
  EXPECT_EQ(files().MakeDirectory(dir), static_cast<Status>(ERROR_ALREADY_EXISTS));
  Write(dir + "\\x.txt", "x");
  EXPECT_NE(files().RemoveDirectory(dir), static_cast<Status>(ERROR_SUCCESS));
  EXPECT_NE(Attr(dir), INVALID_FILE_ATTRIBUTES);
  EXPECT_NE(files().Remove(dir), static_cast<Status>(ERROR_SUCCESS));
  ASSERT_EQ(files().Remove(dir + "\\x.txt"), ERROR_SUCCESS);
  EXPECT_EQ(files().RemoveDirectory(dir), static_cast<Status>(ERROR_SUCCESS));
  EXPECT_EQ(Attr(dir), INVALID_FILE_ATTRIBUTES);
  EXPECT_NE(files().MakeDirectory(Path("No\\Parent")), static_cast<Status>(ERROR_SUCCESS));
}

TEST_F(FilesTest, RemoveMatchingDeletesOnlyMatchingFiles) {
  Write(Path("a.tmp"), "");
  Write(Path("B.TMP"), "");
  Write(Path("keep.txt"), "");
  MakeDir(Path("dir.tmp"));
  EXPECT_EQ(vu::platform::RemoveMatching(files(), folder(), "*.tmp"),
            static_cast<Status>(ERROR_SUCCESS));
  std::vector<std::string> names = List(files(), Path("*.*")).names();
  std::sort(names.begin(), names.end());
  // The scratch folder may be a drive root's child: "." and ".." are there either way.
  EXPECT_EQ(names, (std::vector<std::string>{".", "..", "dir.tmp", "keep.txt"}));
  EXPECT_EQ(vu::platform::RemoveMatching(files(), folder(), "*.tmp"),
            static_cast<Status>(ERROR_FILE_NOT_FOUND));
}

TEST_F(FilesTest, ProfileEntriesAreWrittenAndOthersKept) {
  const std::string ini = Path("system.ini");
  ASSERT_EQ(files().WriteProfileString(ini, "vcache", "MinFileCache", "1024"), ERROR_SUCCESS);
  ASSERT_EQ(files().WriteProfileString(ini, "vcache", "MaxFileCache", "16384"), ERROR_SUCCESS);
  ASSERT_EQ(files().WriteProfileString(ini, "Other", "Keep", "yes"), ERROR_SUCCESS);
  ASSERT_EQ(files().WriteProfileString(ini, "VCACHE", "minfilecache", "2048"), ERROR_SUCCESS);

  std::string value;
  ASSERT_EQ(files().ReadProfileString(ini, "vcache", "MinFileCache", value), ERROR_SUCCESS);
  EXPECT_EQ(value, "2048");
  ASSERT_EQ(files().ReadProfileString(ini, "Vcache", "maxfilecache", value), ERROR_SUCCESS);
  EXPECT_EQ(value, "16384");
  ASSERT_EQ(files().ReadProfileString(ini, "Other", "Keep", value), ERROR_SUCCESS);
  EXPECT_EQ(value, "yes");
  EXPECT_EQ(files().ReadProfileString(ini, "vcache", "Absent", value),
            static_cast<Status>(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(files().ReadProfileString(ini, "Absent", "Keep", value),
            static_cast<Status>(ERROR_FILE_NOT_FOUND));
  // An entry with nothing after "=" is there, and empty.
  ASSERT_EQ(files().WriteProfileString(ini, "Other", "Empty", ""), ERROR_SUCCESS);
  ASSERT_EQ(files().ReadProfileString(ini, "Other", "Empty", value), ERROR_SUCCESS);
  EXPECT_EQ(value, "");
  EXPECT_EQ(files().ReadProfileString(Path("absent.ini"), "vcache", "MinFileCache", value),
            static_cast<Status>(ERROR_FILE_NOT_FOUND));

  std::string text;
  ASSERT_EQ(files().ReadAll(ini, text), ERROR_SUCCESS);
  EXPECT_EQ(std::count(text.begin(), text.end(), '['), 2) << text;
}

TEST_F(FilesTest, ProfileWriteKeepsForeignLines) {
  const std::string ini = Path("Msdos.sys");
  Write(ini, "[Paths]\r\nWinDir=C:\\WINDOWS\r\n[Options]\r\nBootGUI=1\r\n;comment\r\n");
  ASSERT_EQ(files().WriteProfileString(ini, "Options", "BootMenuDelay", "1"), ERROR_SUCCESS);
  std::string value;
  ASSERT_EQ(files().ReadProfileString(ini, "Paths", "WinDir", value), ERROR_SUCCESS);
  EXPECT_EQ(value, "C:\\WINDOWS");
  ASSERT_EQ(files().ReadProfileString(ini, "Options", "BootGUI", value), ERROR_SUCCESS);
  EXPECT_EQ(value, "1");
  ASSERT_EQ(files().ReadProfileString(ini, "Options", "BootMenuDelay", value), ERROR_SUCCESS);
  EXPECT_EQ(value, "1");
  std::string text;
  ASSERT_EQ(files().ReadAll(ini, text), ERROR_SUCCESS);
  EXPECT_NE(text.find(";comment"), std::string::npos);
}

TEST_F(FilesTest, ProfileWriteLeavesTheFilesBesideItAlone) {
  const std::string dir = Path("Beside");
  MakeDir(dir);
  Write(dir + "\\app.ini", "[windows]\r\nload=\r\n");
  Write(dir + "\\app.ini.new", "a file of the user's");
  ASSERT_EQ(files().WriteProfileString(dir + "\\app.ini", "windows", "run", "x.exe"),
            ERROR_SUCCESS);
  std::vector<std::string> names = List(files(), dir + "\\*").names();
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{".", "..", "app.ini", "app.ini.new"}));
  std::string text;
  ASSERT_EQ(files().ReadAll(dir + "\\app.ini.new", text), ERROR_SUCCESS);
  EXPECT_EQ(text, "a file of the user's");
  ASSERT_EQ(files().ReadAll(dir + "\\app.ini", text), ERROR_SUCCESS);
  EXPECT_EQ(text, "[windows]\r\nload=\r\nrun=x.exe\r\n");
}

TEST_F(FilesTest, PathsLongerThan300CharactersWork) {
  const std::string part = std::string(59, 'd') + "\u00e9";
  std::string dir = folder();
  for (int i = 0; i < 5; ++i) {
    dir += "\\" + part + std::to_string(i);
    MakeDir(dir);
  }
  const std::string leaf = std::string(40, 'f') + ".txt";
  const std::string file = dir + "\\" + leaf;
  ASSERT_GT(file.size(), 300u);
  Write(file, "deep");
  std::string read;
  ASSERT_EQ(files().ReadAll(file, read), ERROR_SUCCESS);
  EXPECT_EQ(read, "deep");
  const ListingResult listing = List(files(), dir + "\\*.txt");
  ASSERT_EQ(listing.status, static_cast<Status>(ERROR_SUCCESS));
  EXPECT_EQ(listing.names(), std::vector<std::string>{leaf});
  EXPECT_NE(Attr(file) & FILE_ATTRIBUTE_ARCHIVE, 0u);
  // '/' separators and a "." and ".." detour reach the same file; copies and attributes work
  // there too, and a folder with files in it stays.
  const std::string detour = dir + "/./../" + dir.substr(dir.rfind('\\') + 1) + "/" + leaf;
  ASSERT_EQ(files().ReadAll(detour, read), ERROR_SUCCESS);
  EXPECT_EQ(read, "deep");
  EXPECT_EQ(files().Copy(file, dir + "\\copy.txt", false), ERROR_SUCCESS);
  ASSERT_EQ(files().SetAttributes(file, FILE_ATTRIBUTE_HIDDEN), ERROR_SUCCESS);
  EXPECT_NE(Attr(file) & FILE_ATTRIBUTE_HIDDEN, 0u);
  EXPECT_NE(files().RemoveDirectory(dir), static_cast<Status>(ERROR_SUCCESS));
  EXPECT_EQ(files().Remove(dir + "\\copy.txt"), static_cast<Status>(ERROR_SUCCESS));
  EXPECT_EQ(files().Remove(file), static_cast<Status>(ERROR_SUCCESS));
  for (int i = 4; i >= 0; --i) {
    EXPECT_EQ(files().RemoveDirectory(dir), static_cast<Status>(ERROR_SUCCESS)) << dir;
    dir.resize(dir.rfind('\\'));
  }
  EXPECT_EQ(List(files(), Path("*.*")).names(), (std::vector<std::string>{".", ".."}));
}

TEST_F(FilesTest, NonAsciiNamesRoundTrip) {
  // Beyond the ANSI code page too: the Win32 back end must take the wide calls.
  const std::string sub = Path("\u00e9t\u00e9 \u8a2d\u5b9a");
  const std::string name = "Velloria\u2122 Caf\u00e9 \u65e5\u672c.txt";
  MakeDir(sub);
  Write(sub + "\\" + name, "first\r\nsecond");
  EXPECT_EQ(List(files(), sub + "\\*.txt").names(), std::vector<std::string>{name});
  std::string line;
  ASSERT_EQ(files().ReadFirstLine(sub + "/" + name, line), ERROR_SUCCESS);
  EXPECT_EQ(line, "first");
  EXPECT_EQ(files().Copy(sub + "\\" + name, Path(name), true), ERROR_SUCCESS);
  EXPECT_EQ(files().Remove(sub + "\\" + name), ERROR_SUCCESS);
  EXPECT_EQ(files().RemoveDirectory(sub), ERROR_SUCCESS);
  EXPECT_EQ(List(files(), Path("*.*")).names(), (std::vector<std::string>{".", "..", name}));
}

}  // namespace
}  // namespace vu::contract
