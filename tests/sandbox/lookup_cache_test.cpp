// What the sandbox remembers to answer lookups quickly (folders found, a folder's names, the
// attribute file, the machine facts) never answers for a machine that has changed since: every
// change behind its back, made on the host between two calls, shows in the next call.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "platform/sandbox/attributes.h"
#include "platform/sandbox/facts.h"
#include "platform/sandbox/folder_cache.h"
#include "platform/sandbox/layout.h"
#include "platform/sandbox/machine.h"
#include "platform/text.h"
#include "tests/support/fresh_machine.h"

namespace vu::platform::sandbox {
namespace {

namespace fs = std::filesystem;

class LookupCacheTest : public vu::test_support::FreshMachineTest {
 protected:
  fs::path Host(const std::string& relative) { return dir_ / "m" / "drives" / "C" / relative; }
  void LayOnHost(const std::string& relative, const std::string& bytes) {
    fs::create_directories(Host(relative).parent_path());
    std::ofstream(Host(relative), std::ios::binary) << bytes;
  }
  std::string Read(const std::string& path) {
    std::string bytes;
    return files().ReadAll(path, bytes) == ERROR_SUCCESS ? bytes : "(" + path + " unreadable)";
  }
  bool Exists(const std::string& path) {
    return files().Attributes(path) != INVALID_FILE_ATTRIBUTES;
  }
  // The attribute word of every entry the pattern lists, by name, dot entries left out.
  std::vector<std::string> Listed(const std::string& pattern) {
    std::vector<std::string> found;
    FindData entry;
    std::unique_ptr<Listing> listing;
    if (files().FindFirst(pattern, entry, listing) != ERROR_SUCCESS) return found;
    do {
      if (entry.name != "." && entry.name != "..")
        found.push_back(entry.name + "=" + std::to_string(entry.attributes));
    } while (listing->Next(entry));
    return found;
  }
};

TEST_F(LookupCacheTest, NamesLaidRenamedOrRemovedOnTheHostShowAtTheNextLookup) {
  LayOnHost("Data/Present.txt", "here");
  // Misses in other spellings read the folder's names, which are then kept.
  EXPECT_EQ(Read("C:\\data\\present.TXT"), "here");
  EXPECT_FALSE(Exists("C:\\DATA\\LATER.TXT"));
  LayOnHost("Data/Later.txt", "later");
  EXPECT_EQ(Read("C:\\DATA\\LATER.TXT"), "later");
  fs::rename(Host("Data/Present.txt"), Host("Data/Moved.txt"));
  EXPECT_FALSE(Exists("C:\\data\\PRESENT.txt"));
  EXPECT_EQ(Read("C:\\data\\MOVED.txt"), "here");
  fs::remove(Host("Data/Later.txt"));
  EXPECT_FALSE(Exists("c:\\data\\later.txt"));
  // One change right after another: each shows, however soon after the folder was read.
  for (int round = 0; round < 20; ++round) {
    const std::string name = "Quick" + std::to_string(round) + ".txt";
    EXPECT_FALSE(Exists("C:\\DATA\\" + name));
    LayOnHost("Data/" + name, name);
    EXPECT_EQ(Read("C:\\data\\QUICK" + std::to_string(round) + ".TXT"), name);
  }
}

TEST_F(LookupCacheTest, NamesMadeHereGetTheirAliasesAndNamesLaidAfterThemStillShow) {
  // A real 8.3 name the first alias must step over, read with the folder.
  LayOnHost("Made/LONGNA~1.TXT", "short");
  EXPECT_EQ(Read("C:\\made\\longna~1.txt"), "short");
  for (const char* name : {"Long name b.txt", "long name A.txt", "Long Name c.txt"})
    ASSERT_EQ(files().WriteAll(std::string("C:\\MADE\\") + name, name), ERROR_SUCCESS) << name;
  // In the order made, each with the lowest number free.
  EXPECT_EQ(Read("C:\\MADE\\LONGNA~2.TXT"), "Long name b.txt");
  EXPECT_EQ(Read("C:\\MADE\\LONGNA~3.TXT"), "long name A.txt");
  EXPECT_EQ(Read("C:\\MADE\\LONGNA~4.TXT"), "Long Name c.txt");
  EXPECT_EQ(Read("C:\\made\\LONG NAME A.TXT"), "long name A.txt");
  // A number freed is the next one given; one taken behind the sandbox's back is stepped over.
  ASSERT_EQ(files().Remove("C:\\MADE\\Long name b.txt"), ERROR_SUCCESS);
  ASSERT_EQ(files().WriteAll("C:\\MADE\\Long name d.txt", "d"), ERROR_SUCCESS);
  EXPECT_EQ(Read("C:\\MADE\\LONGNA~2.TXT"), "d");
  LayOnHost("Made/LONGNA~5.TXT", "laid short");
  ASSERT_EQ(files().WriteAll("C:\\MADE\\Long name e.txt", "e"), ERROR_SUCCESS);
  EXPECT_EQ(Read("C:\\MADE\\LONGNA~6.TXT"), "e");
  EXPECT_EQ(Read("C:\\MADE\\LONGNA~5.TXT"), "laid short");
  // A name laid on the host right after one made here is found in any case.
  ASSERT_EQ(files().MakeDirectory("C:\\MADE\\Sub folder"), ERROR_SUCCESS);
  LayOnHost("Made/Laid later.txt", "laid");
  EXPECT_EQ(Read("C:\\made\\LAID LATER.TXT"), "laid");
  EXPECT_TRUE(Exists("C:\\made\\SUB FOLDER"));
}

// The folder names behind the lookups, whether the host reports changes or the names are
// trusted by the folder's change time: every change, the sandbox's own or made behind its back,
// shows at the next lookup, however soon after the last.
class FolderNamesTest : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/vu_folder_names_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    root_ = pattern;
    folder_ = (root_ / "F").string();
    fs::create_directory(folder_);
  }
  void TearDown() override { fs::remove_all(root_); }
  void Lay(const std::string& name) { std::ofstream(folder_ + "/" + name) << name; }
  std::string Find(FolderCache& cache, const std::string& name) {
    std::string found;
    return cache.FindNoCase(folder_, name, found) ? found : "(none)";
  }

  fs::path root_;
  std::string folder_;
};

TEST_P(FolderNamesTest, EveryChangeShowsAtTheNextLookup) {
  FolderCache cache(GetParam());
  Lay("Alpha.txt");
  EXPECT_EQ(Find(cache, "ALPHA.TXT"), "Alpha.txt");
  // Made here and told.
  Lay("Made.txt");
  cache.Added(folder_, "Made.txt");
  EXPECT_EQ(Find(cache, "made.TXT"), "Made.txt");
  const std::vector<std::string> known = cache.KnownNames(folder_);
  EXPECT_EQ(known, (std::vector<std::string>{"Alpha.txt", "Made.txt"}));
  // Behind its back, one right after another.
  for (int round = 0; round < 20; ++round) {
    const std::string name = "Quick" + std::to_string(round) + ".txt";
    EXPECT_EQ(Find(cache, UpperCase(name)), "(none)");
    Lay(name);
    EXPECT_EQ(Find(cache, UpperCase(name)), name);
    fs::rename(folder_ + "/" + name, folder_ + "/Moved" + name);
    EXPECT_EQ(Find(cache, UpperCase(name)), "(none)");
    EXPECT_EQ(Find(cache, UpperCase("Moved" + name)), "Moved" + name);
  }
  // Removed here and told, and removed behind its back.
  fs::remove(folder_ + "/Made.txt");
  cache.Removed(folder_, "Made.txt");
  EXPECT_EQ(Find(cache, "MADE.TXT"), "(none)");
  fs::remove(folder_ + "/Alpha.txt");
  EXPECT_EQ(Find(cache, "alpha.txt"), "(none)");
  // The folder replaced by another of the same name.
  fs::rename(folder_, (root_ / "Old").string());
  fs::create_directory(folder_);
  Lay("Beta.txt");
  EXPECT_EQ(Find(cache, "BETA.TXT"), "Beta.txt");
  EXPECT_EQ(Find(cache, "MOVEDQUICK1.TXT"), "(none)");
}

INSTANTIATE_TEST_SUITE_P(WatchedOrNot, FolderNamesTest, ::testing::Bool());

TEST_F(LookupCacheTest, AFolderReplacedOnTheHostIsLookedIntoAnew) {
  LayOnHost("Outer/Inner/File.txt", "first");
  EXPECT_EQ(Read("C:\\OUTER\\INNER\\FILE.TXT"), "first");
  EXPECT_EQ(Read("C:\\outer\\inner\\file.txt"), "first");
  // The folder found before goes; another spelled differently takes its place.
  fs::rename(Host("Outer/Inner"), Host("Outer/Old"));
  LayOnHost("Outer/INNER/file.TXT", "second");
  EXPECT_EQ(Read("C:\\outer\\inner\\file.txt"), "second");
  EXPECT_EQ(machine_->HostPath("C:\\outer\\inner\\FILE.txt"),
            Host("Outer/INNER/file.TXT").string());
  // And a folder that became a file is no folder on the way any more.
  fs::remove_all(Host("Outer/INNER"));
  LayOnHost("Outer/inner", "now a file");
  Status status = ERROR_SUCCESS;
  EXPECT_EQ(files().Attributes("C:\\OUTER\\INNER\\FILE.TXT", &status), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(status, static_cast<Status>(ERROR_PATH_NOT_FOUND));
}

TEST_F(LookupCacheTest, OfNamesDifferingOnlyInCaseTheByteWiseSmallestAnswers) {
  // Listing order is "Mixed", "mIXED", "mixed"; upper case sorts first byte-wise.
  LayOnHost("Twins/mixed", "lower");
  LayOnHost("Twins/mIXED", "middle");
  EXPECT_EQ(Read("C:\\TWINS\\MiXeD"), "middle");
  LayOnHost("Twins/Mixed", "upper");
  EXPECT_EQ(Read("C:\\TWINS\\MiXeD"), "upper");
  EXPECT_EQ(Read("C:\\TWINS\\mixed"), "lower");  // the exact spelling first
  fs::remove(Host("Twins/Mixed"));
  EXPECT_EQ(Read("C:\\TWINS\\MIXed"), "middle");
  // Names around the one asked for, so that a search of the sorted names must land exactly.
  for (const char* name : {"a", "mixe", "mixedd", "MIXEC", "mixee", "z"})
    LayOnHost(std::string("Twins/") + name, name);
  EXPECT_EQ(Read("C:\\TWINS\\MiXeD"), "middle");
  EXPECT_EQ(Read("C:\\TWINS\\MIXEDD"), "mixedd");
  EXPECT_FALSE(Exists("C:\\TWINS\\MIXED2"));
}

TEST_F(LookupCacheTest, ListingsAndLookupsFollowTheOrderWithoutCase) {
  // Accented and plain letters, punctuation, a stray byte, names equal but for case.
  const std::vector<std::string> laid = {"b",          "\xC3\x81rbol", "a",    "\xC3\xA9t\xC3\xA9",
                                         "Zeta",       "_under",       "ZETA", "a\x80z",
                                         "\xC3\x89TA", "\xC3\xA1rbol", "A~1",  "[x]"};
  for (const std::string& name : laid)
    LayOnHost("Order/" + name, name);
  std::vector<std::string> expected = laid;
  std::sort(expected.begin(), expected.end(), [](const std::string& a, const std::string& b) {
    const int order = CompareNoCase(a, b);
    return order != 0 ? order < 0 : a < b;
  });
  std::vector<std::string> listed;
  for (const std::string& entry : Listed("C:\\ORDER\\*"))
    listed.push_back(entry.substr(0, entry.rfind('=')));
  EXPECT_EQ(listed, expected);
  // Every name is found in another case, and a twin by its byte-wise smaller spelling.
  EXPECT_EQ(Read("C:\\order\\\xC3\x81RBOL"), "\xC3\x81rbol");
  EXPECT_EQ(Read("C:\\order\\\xC3\xA9TA"), "\xC3\x89TA");
  EXPECT_EQ(Read("C:\\order\\zeta"), "ZETA");
  EXPECT_EQ(Read("C:\\order\\A\x80Z"), "a\x80z");
}

TEST_F(LookupCacheTest, ListingsReportStoredAttributesOfTheirOwnEntriesOnly) {
  LayOnHost("A/one.txt", "1");
  LayOnHost("A/Sub/deep.txt", "2");
  LayOnHost("A B/two.txt", "3");
  LayOnHost("AB/three.txt", "4");
  const std::string archive = std::to_string(FILE_ATTRIBUTE_ARCHIVE);
  const std::string folder = std::to_string(FILE_ATTRIBUTE_DIRECTORY);
  // Attributes stored for a sibling folder's entries and for an entry further down only.
  ASSERT_EQ(files().SetAttributes("C:\\A B\\two.txt", FILE_ATTRIBUTE_HIDDEN), ERROR_SUCCESS);
  ASSERT_EQ(files().SetAttributes("C:\\AB\\three.txt", FILE_ATTRIBUTE_READONLY), ERROR_SUCCESS);
  ASSERT_EQ(files().SetAttributes("C:\\A\\Sub\\deep.txt", FILE_ATTRIBUTE_SYSTEM), ERROR_SUCCESS);
  EXPECT_EQ(Listed("C:\\A\\*"), (std::vector<std::string>{"one.txt=" + archive, "Sub=" + folder}));
  ASSERT_EQ(files().SetAttributes("C:\\a\\ONE.TXT", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE),
            ERROR_SUCCESS);
  EXPECT_EQ(Listed("C:\\A\\*"),
            (std::vector<std::string>{
                "one.txt=" + std::to_string(FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE),
                "Sub=" + folder}));
  EXPECT_EQ(Listed("C:\\A\\SUB\\*"),
            (std::vector<std::string>{"deep.txt=" + std::to_string(FILE_ATTRIBUTE_SYSTEM)}));

  // The attribute file written by another program (vmachine attrib) counts from the next call.
  AttributeStore other((dir_ / "m" / std::string(kAttributesFile)).string());
  other.Refresh();
  ASSERT_EQ(other.Set("C:\\A\\ONE.TXT", FILE_ATTRIBUTE_ARCHIVE, false), ERROR_SUCCESS);
  ASSERT_EQ(other.Set("C:\\A\\SUB", FILE_ATTRIBUTE_HIDDEN, true), ERROR_SUCCESS);
  EXPECT_EQ(Listed("C:\\A\\*"),
            (std::vector<std::string>{
                "one.txt=" + archive,
                "Sub=" + std::to_string(FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN)}));
}

TEST_F(LookupCacheTest, ABigAttributeFileIsReadLineByLineWhateverItsLineEnds) {
  // Far more than one piece of reading, with lines across every boundary between pieces, both
  // line ends, and a last line without one.
  std::string text = "# DOS attributes\n";
  for (int i = 0; i < 6000; ++i) {
    text += std::to_string(i % 2 == 0 ? FILE_ATTRIBUTE_HIDDEN : FILE_ATTRIBUTE_SYSTEM) +
            " C:\\FOLDER WITH A LONG NAME\\FILE " + std::to_string(i) + ".TXT" +
            (i % 3 == 0 ? "\r\n" : "\n");
  }
  text += "1 C:\\LAST.TXT";
  std::ofstream(dir_ / "m" / std::string(kAttributesFile), std::ios::binary) << text;
  AttributeStore store((dir_ / "m" / std::string(kAttributesFile)).string());
  store.Refresh();
  for (int i = 0; i < 6000; ++i) {
    const std::uint32_t bits =
        store.Get("C:\\Folder with a long name\\file " + std::to_string(i) + ".txt", false);
    ASSERT_EQ(bits, i % 2 == 0 ? FILE_ATTRIBUTE_HIDDEN : FILE_ATTRIBUTE_SYSTEM) << i;
  }
  EXPECT_EQ(store.Get("C:\\LAST.TXT", false), static_cast<std::uint32_t>(FILE_ATTRIBUTE_READONLY));
  EXPECT_EQ(store.Get("C:\\FOLDER WITH A LONG NAME\\FILE 6000.TXT", false),
            static_cast<std::uint32_t>(FILE_ATTRIBUTE_ARCHIVE));
}

TEST_F(LookupCacheTest, MachineFactsChangedOnTheHostCountFromTheNextCall) {
  System& system = machine_->system();
  EXPECT_EQ(system.SystemDirectory(), "C:\\WINDOWS\\SYSTEM");
  EXPECT_EQ(system.SystemDirectory(), "C:\\WINDOWS\\SYSTEM");
  const std::string ini = (dir_ / "m" / std::string(kMachineIni)).string();
  ASSERT_EQ(WriteFacts(ini, {{"SystemDir", "D:\\WIN\\SYS"}, {"UserName", "Someone"}}),
            ERROR_SUCCESS);
  EXPECT_EQ(system.SystemDirectory(), "D:\\WIN\\SYS");
  EXPECT_EQ(system.WindowsDirectory(), "C:\\WINDOWS");
  ASSERT_EQ(WriteFacts(ini, {{"SystemDir", "C:\\WINDOWS\\SYSTEM"}}), ERROR_SUCCESS);
  EXPECT_EQ(system.SystemDirectory(), "C:\\WINDOWS\\SYSTEM");
}

}  // namespace
}  // namespace vu::platform::sandbox
