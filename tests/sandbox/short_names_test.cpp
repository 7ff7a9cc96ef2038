// 8.3 aliases of long names: how they are made, when they are given, that they last and that
// every lookup and listing knows them.
#include "platform/sandbox/short_names.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/fresh_machine.h"

namespace vu::platform::sandbox {
namespace {

namespace fs = std::filesystem;

TEST(ShortName, ValidEightDotThreeNamesNeedNoAlias) {
  for (const char* name : {"README.TXT", "readme.txt", "A", "MSDOS.SYS", "PROGRA~1", "$X_1.A"})
    EXPECT_TRUE(IsShortName(name)) << name;
  for (const char* name :
       {"Program Files", "TOOLONGNAME", "A.HTML", "a.b.c", "X+Y", ".X", "X.", "caf\u00e9", ""})
    EXPECT_FALSE(IsShortName(name)) << name;
}

TEST(ShortName, AliasesTakeValidCharactersOfNameAndExtension) {
  EXPECT_EQ(MakeAlias("Program Files", 1), "PROGRA~1");
  EXPECT_EQ(MakeAlias("Program Files", 2), "PROGRA~2");
  EXPECT_EQ(MakeAlias("Read Me.html", 12), "READM~12.HTM");
  EXPECT_EQ(MakeAlias("a.b.c", 1), "AB~1.C");
  EXPECT_EQ(MakeAlias("My [Best] App.t x t", 1), "MYBEST~1.TXT");
  EXPECT_EQ(MakeAlias("Ab.", 3), "AB~3");
}

// A new machine in its own temporary folder.
class ShortNamesTest : public vu::test_support::FreshMachineTest {
 protected:
  // "name=alias" of every entry the pattern lists, dot entries left out.
  std::vector<std::string> Listed(const std::string& pattern) {
    std::vector<std::string> names;
    FindData entry;
    std::unique_ptr<Listing> listing;
    if (files().FindFirst(pattern, entry, listing) != ERROR_SUCCESS) return names;
    do {
      if (entry.name != "." && entry.name != "..")
        names.push_back(entry.name + "=" + entry.alternateName);
    } while (listing->Next(entry));
    return names;
  }
  // Lays a file on the host, as tests and the demo do, behind the sandbox's back.
  void LayOnHost(const std::string& relative, const std::string& bytes = "x") {
    const fs::path path = dir_ / "m" / "drives" / "C" / relative;
    fs::create_directories(path.parent_path());
    std::ofstream(path) << bytes;
  }
};

TEST_F(ShortNamesTest, AliasesAreGivenAtCreationAndNeverChange) {
  ASSERT_EQ(files().MakeDirectory("C:\\Program Files Old"), ERROR_SUCCESS);
  ASSERT_EQ(files().MakeDirectory("C:\\Long Name One"), ERROR_SUCCESS);
  ASSERT_EQ(files().MakeDirectory("C:\\Long Name Two"), ERROR_SUCCESS);
  ASSERT_EQ(files().WriteAll("C:\\Long Name Two\\Read Me.html", "<p>"), ERROR_SUCCESS);
  EXPECT_EQ(Listed("C:\\*"), (std::vector<std::string>{
                                 "Long Name One=LONGNA~1", "Long Name Two=LONGNA~2",
                                 "MSDOS.SYS=", "MY DOCUMENTS=MYDOCU~1", "PROGRAM FILES=PROGRA~1",
                                 "Program Files Old=PROGRA~2", "WINDOWS="}));

  // A freed number goes to the next new name; the others keep theirs, across a reopening too.
  ASSERT_EQ(files().RemoveDirectory("C:\\LONGNA~1"), ERROR_SUCCESS);
  Reopen();
  ASSERT_EQ(files().MakeDirectory("C:\\Long Name Three"), ERROR_SUCCESS);
  EXPECT_EQ(Listed("C:\\LONG*"),
            (std::vector<std::string>{"Long Name Three=LONGNA~1", "Long Name Two=LONGNA~2"}));
  EXPECT_EQ(Listed("C:\\LONGNA~2\\*"), (std::vector<std::string>{"Read Me.html=README~1.HTM"}));
}

TEST_F(ShortNamesTest, EveryComponentMayBeAnAlias) {
  ASSERT_EQ(files().MakeDirectory("C:\\Program Files\\My Application"), ERROR_SUCCESS);
  ASSERT_EQ(files().WriteAll("C:\\Program Files\\My Application\\Application.exe", "MZ"),
            ERROR_SUCCESS);
  std::string bytes;
  EXPECT_EQ(files().ReadAll("c:\\progra~1\\MYAPPL~1\\applic~1.EXE", bytes), ERROR_SUCCESS);
  EXPECT_EQ(bytes, "MZ");
  Status status = ERROR_SUCCESS;
  EXPECT_EQ(machine_->HostPath("C:\\PROGRA~1\\MYAPPL~1\\APPLIC~1.EXE", &status),
            (dir_ / "m/drives/C/PROGRAM FILES/My Application/Application.exe").string());
  EXPECT_EQ(status, static_cast<Status>(ERROR_SUCCESS));
  // Writing through an alias changes the long-named file, and no alias is made up.
  EXPECT_EQ(files().WriteAll("C:\\PROGRA~1\\MYAPPL~1\\APPLIC~1.EXE", "MZ2"), ERROR_SUCCESS);
  EXPECT_EQ(Listed("C:\\PROGRA~1\\MYAPPL~1\\*"),
            (std::vector<std::string>{"Application.exe=APPLIC~1.EXE"}));
  EXPECT_EQ(files().Attributes("C:\\PROGRA~1\\MYAPPL~2"), INVALID_FILE_ATTRIBUTES);
  // A pattern matches the alias as well as the long name, as Windows' listings do.
  EXPECT_EQ(Listed("C:\\PROGRA~1\\MYAPPL~1\\*.ex?"),
            (std::vector<std::string>{"Application.exe=APPLIC~1.EXE"}));
  ASSERT_EQ(files().WriteAll("C:\\Program Files\\Index.html", "<p>"), ERROR_SUCCESS);
  EXPECT_EQ(Listed("C:\\Program Files\\*.htm"),
            (std::vector<std::string>{"Index.html=INDEX~1.HTM"}));
}

TEST_F(ShortNamesTest, NamesLaidFromTheHostGetAliasesInNameOrderWhenFirstSeen) {
  LayOnHost("Shared Zeta/a.txt");
  LayOnHost("Shared Beta/b.txt");
  LayOnHost("SHARED~1");  // a real 8.3 name: never an alias of another
  LayOnHost("Shared Alpha/c.txt");
  EXPECT_EQ(files().Attributes("C:\\SHARED~2\\C.TXT") & FILE_ATTRIBUTE_DIRECTORY, 0u);
  EXPECT_EQ(Listed("C:\\SHARED*"),
            (std::vector<std::string>{"Shared Alpha=SHARED~2", "Shared Beta=SHARED~3",
                                      "Shared Zeta=SHARED~4", "SHARED~1="}));
  // One laid later takes the next free number, whatever its place in the name order.
  LayOnHost("Shared Aardvark/d.txt");
  EXPECT_EQ(Listed("C:\\SHARED~5"), (std::vector<std::string>{"Shared Aardvark=SHARED~5"}));
}

}  // namespace
}  // namespace vu::platform::sandbox
