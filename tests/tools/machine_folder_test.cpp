// Broken machine folders are refused before anything runs on them: one line naming the file and
// the problem, exit status 2, and the folder left exactly as it was.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "tests/support/run_program.h"

namespace vu::testing {
namespace {

namespace fs = std::filesystem;

struct Breakage {
  const char* name;
  std::function<void(const fs::path& machine)> apply;
  const char* file;     // the file or folder the message names
  const char* problem;  // a word of the problem it states
};

void Write(const fs::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

void RemoveRegistry(const fs::path& machine) {
  for (const char* suffix : {"", "-wal", "-shm"})
    fs::remove(machine / (std::string("registry.db") + suffix));
}

std::string SetFact(const fs::path& machine, const std::string& from, const std::string& to) {
  std::ifstream in(machine / "machine.ini", std::ios::binary);
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const std::size_t at = text.find(from);
  if (at != std::string::npos) text.replace(at, from.size(), to);
  return text;
}

const std::vector<Breakage>& Breakages() {
  static const std::vector<Breakage> all = {
      {"no machine.ini", [](const fs::path& m) { fs::remove(m / "machine.ini"); }, "machine.ini",
       "missing"},
      {"empty machine.ini", [](const fs::path& m) { Write(m / "machine.ini", ""); }, "machine.ini",
       "[System]"},
      {"garbage machine.ini",
       [](const fs::path& m) {
         Write(m / "machine.ini", std::string("\x89PNG\r\n\x1a\n\0\0", 10));
       },
       "machine.ini", "[System]"},
      {"machine.ini is a folder",
       [](const fs::path& m) {
         fs::remove(m / "machine.ini");
         fs::create_directory(m / "machine.ini");
       },
       "machine.ini", "read"},
      {"bad number in machine.ini",
       [](const fs::path& m) {
         Write(m / "machine.ini", SetFact(m, "LogPixelsX=96", "LogPixelsX=ninety-six"));
       },
       "machine.ini", "LogPixelsX"},
      {"number out of range in machine.ini",
       [](const fs::path& m) {
         Write(m / "machine.ini",
               SetFact(m, "ScreenWidth=800", "ScreenWidth=99999999999999999999"));
       },
       "machine.ini", "ScreenWidth"},
      {"no registry.db", RemoveRegistry, "registry.db", "missing"},
      {"empty registry.db",
       [](const fs::path& m) {
         RemoveRegistry(m);
         Write(m / "registry.db", "");
       },
       "registry.db", "empty"},
      {"registry.db is no database",
       [](const fs::path& m) {
         RemoveRegistry(m);
         Write(m / "registry.db", "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\Software]\r\n");
       },
       "registry.db", "not a registry"},
      {"no drives folder", [](const fs::path& m) { fs::remove_all(m / "drives"); }, "drives",
       "missing"},
      {"read-only folder",
       [](const fs::path& m) {
         fs::permissions(m,
                         fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                         fs::perm_options::remove);
       },
       "", "read-only"},
  };
  return all;
}

class MachineFolderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(RunProgram("vmachine", {"init", temp / "good"}).status, 0);
    ASSERT_EQ(RunProgram("vmachine", {"lnk", temp / "good", "C:\\WINDOWS\\DESKTOP\\Gone.lnk",
                                      "C:\\GONE\\GONE.EXE"})
                  .status,
              0);
  }
  void TearDown() override {
    // Writable again, so that the folder can go.
    for (const auto& entry : fs::directory_iterator(temp.path()))
      fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add);
  }

  // A copy of the good machine with |breakage| applied.
  fs::path Broken(const Breakage& breakage) {
    const fs::path machine = temp.path() / ("m" + std::to_string(++count_));
    fs::copy(temp.path() / "good", machine, fs::copy_options::recursive);
    breakage.apply(machine);
    return machine;
  }

  void ExpectRefused(const std::string& program, const std::vector<std::string>& args,
                     const fs::path& machine, const Breakage& breakage) {
    const auto before = TreeContents(machine);
    const ProgramRun run = RunProgram(program, args);
    const std::string what = program + " on a machine with " + breakage.name;
    EXPECT_EQ(run.status, 2) << what << ": " << run.err;
    EXPECT_TRUE(!run.err.empty() && run.err.find('\n') == run.err.size() - 1) << what << run.err;
    const fs::path named = *breakage.file ? machine / breakage.file : machine;
    EXPECT_NE(run.err.find(named.string()), std::string::npos) << what << ": " << run.err;
    EXPECT_NE(run.err.find(breakage.problem), std::string::npos) << what << ": " << run.err;
    EXPECT_EQ(TreeContents(machine), before) << what;
  }

  TempFolder temp;
  int count_ = 0;
};

TEST_F(MachineFolderTest, TheProgramsRefuseABrokenMachineAndChangeNothing) {
  // The three programs share their entry: every breakage on one, a few on the others.
  for (const Breakage& breakage : Breakages()) {
    const fs::path machine = Broken(breakage);
    ExpectRefused("optimizer", {"--machine", machine.string(), "--fast", "--express"}, machine,
                  breakage);
  }
  const fs::path noRegistry = Broken(Breakages()[6]);
  ExpectRefused("install", {"--machine", noRegistry.string(), "--fast", "--express"}, noRegistry,
                Breakages()[6]);
  const fs::path badNumber = Broken(Breakages()[4]);
  ExpectRefused("uninstall", {"--machine", badNumber.string(), "--fast", "--yes"}, badNumber,
                Breakages()[4]);
}

TEST_F(MachineFolderTest, VmachineRefusesABrokenMachineAndChangeNothing) {
  for (const Breakage& breakage : Breakages()) {
    const fs::path machine = Broken(breakage);
    ExpectRefused("vmachine", {"attrib", machine.string(), "C:\\MSDOS.SYS", "-R"}, machine,
                  breakage);
    ExpectRefused("vmachine", {"lnk", machine.string(), "C:\\X.LNK", "C:\\WINDOWS"}, machine,
                  breakage);
    if (std::string(breakage.problem) != "read-only") {
      ExpectRefused("vmachine", {"reg", "export", machine.string()}, machine, breakage);
    }
  }
}

TEST_F(MachineFolderTest, ASoundMachineStillRunsAndAReadOnlyOneCanStillBeRead) {
  const fs::path machine = temp.path() / "good";
  EXPECT_EQ(RunProgram("optimizer", {"--machine", machine.string(), "--fast", "--express"}).status,
            0);
  EXPECT_EQ(
      RunProgram("vmachine", {"path", machine.string(), "C:\\WINDOWS\\DESKTOP\\Gone.lnk"}).status,
      0);
  fs::permissions(machine,
                  fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove);
  const ProgramRun listing = RunProgram("vmachine", {"reg", "get", machine.string(),
                                                     "HKEY_LOCAL_MACHINE\\System\\CurrentControlSet"
                                                     "\\Services\\Class\\NetTrans\\0000",
                                                     "DriverDesc"});
  EXPECT_EQ(listing.status, 0) << listing.err;
  EXPECT_EQ(listing.out, "TCP/IP\n");
}

}  // namespace
}  // namespace vu::testing
